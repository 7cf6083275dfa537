#!/usr/bin/env python3
"""Writes a benchmark document: many real-looking HTML pages one after the other.

The prose comes from the docstrings of the Python standard library on this machine (varied
English, different on every page); the markup around it has what web pages have: a head with
title, description and keywords, style and script blocks, comments, headings, bold and italic
text, links, lists, tables, div and span blocks, font tags, entities. Lines end with CR LF.

--distinct N writes the text with N made-up words (all different, none a plural of another) and
the small words of English in place of the library's prose, so that the document holds about N
distinct keyword candidates however long it is, and no word becomes frequent enough to pass the
16-bit count of the analysis.
"""
import argparse
import ast
import glob
import random
import re
import sys
import sysconfig


def sentences():
    found = []
    stdlib = sysconfig.get_paths()["stdlib"]
    for path in sorted(glob.glob(stdlib + "/*.py") + glob.glob(stdlib + "/*/*.py")):
        if "site-packages" in path or "dist-packages" in path or "/test" in path:
            continue
        try:
            tree = ast.parse(open(path, encoding="utf-8", errors="replace").read())
        except (SyntaxError, ValueError):
            continue
        for node in ast.walk(tree):
            if isinstance(node, (ast.Module, ast.ClassDef, ast.FunctionDef, ast.AsyncFunctionDef)):
                doc = ast.get_docstring(node)
                if not doc:
                    continue
                for sentence in re.split(r"(?<=[.!?])\s+", " ".join(doc.split())):
                    if 20 <= len(sentence) <= 300 and re.search(r"[A-Za-z]{4}", sentence) and ">>>" not in sentence:
                        found.append(sentence.replace("<", "").replace(">", "").replace("&", "and"))
    if not found:
        sys.exit("make_pages: no text found in the standard library")
    return found


def made_up_words(count, rng):
    onsets = ["b", "br", "c", "cl", "d", "dr", "f", "fl", "g", "gr", "h", "j", "k", "l", "m", "n", "p", "pl",
              "qu", "r", "t", "tr", "v", "w", "z"]
    vowels = ["a", "e", "i", "o", "u", "ai", "ea", "ou"]
    codas = ["", "n", "r", "l", "m", "nd", "rt", "x", "k", "p"]
    words = set()
    while len(words) < count:
        word = "".join(rng.choice(onsets) + rng.choice(vowels) for _ in range(rng.randint(2, 4))) + rng.choice(codas)
        words.add(word)
    words = sorted(words)
    rng.shuffle(words)
    return words


class LibraryText:
    """Sentences of the library's docstrings, picked at random."""

    def __init__(self, pool, rng):
        self.pool, self.rng = pool, rng

    def sentence(self):
        return self.rng.choice(self.pool)


SMALL_WORDS = "the of and to a in is it that for on with as by at from or this be are was an not but".split()


class MadeUpText:
    """Sentences of made-up words, each word used in turn, between small words."""

    def __init__(self, vocabulary, rng):
        self.vocabulary, self.rng, self.next = vocabulary, rng, 0

    def sentence(self):
        words = []
        for _ in range(self.rng.randint(6, 16)):
            if self.rng.random() < 0.4:
                words.append(self.rng.choice(SMALL_WORDS))
            else:
                words.append(self.vocabulary[self.next % len(self.vocabulary)])
                self.next += 1
        return " ".join(words).capitalize() + "."


class Page:
    def __init__(self, rng, text):
        self.rng, self.text = rng, text

    def sentence(self):
        words = self.text.sentence().split()
        # Inline markup on a few words.
        for _ in range(self.rng.randint(0, 2)):
            i = self.rng.randrange(len(words))
            tag = self.rng.choice(["b", "i", "strong", "em", "a", "span", "font"])
            if tag == "a":
                words[i] = '<a href="/docs/%s.html">%s</a>' % (words[i].strip(".,;:").lower() or "x", words[i])
            elif tag == "span":
                words[i] = '<span class="term">%s</span>' % words[i]
            elif tag == "font":
                words[i] = '<font size="+1">%s</font>' % words[i]
            else:
                words[i] = "<%s>%s</%s>" % (tag, words[i], tag)
        if self.rng.random() < 0.1:
            words.insert(self.rng.randrange(len(words) + 1), self.rng.choice(["&nbsp;", "&amp;", "&eacute;t&eacute;", "&copy;", "&lt;", "&#8212;"]))
        return " ".join(words)

    def paragraph(self):
        text = " ".join(self.sentence() for _ in range(self.rng.randint(2, 6)))
        lines, line = [], ""
        for word in text.split(" "):
            if len(line) + len(word) > 100:
                lines.append(line)
                line = word
            else:
                line = (line + " " + word).strip()
        lines.append(line)
        return ["<p>" + lines[0]] + lines[1:-1] + [lines[-1] + "</p>"] if len(lines) > 1 else ["<p>" + lines[0] + "</p>"]

    def title(self):
        return " ".join(self.text.sentence().split()[:6]).strip(".,;:")

    def render(self):
        r = self.rng
        out = ['<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">', "<html>", "<head>",
               '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">',
               "<title>%s</title>" % self.title(),
               '<meta name="description" content="%s">' % self.title(),
               '<meta name="keywords" content="%s">' % ", ".join(self.title().split()[:5]),
               '<style type="text/css">', "body { font-family: Arial, sans-serif; margin: 0 auto; }",
               "td.cell { padding: 4px; border: 1px solid #ccc; }", "</style>",
               '<script type="text/javascript">', "function show(id) {",
               "  document.getElementById(id).style.display = 'block';", "}", "</script>", "</head>",
               '<body bgcolor="#ffffff">', "<!-- navigation -->",
               '<div class="nav"><a href="/">Home</a> | <a href="/about.html">About</a> | <a href="/contact.html">Contact</a></div>',
               "<h1>%s</h1>" % self.title()]
        for _ in range(r.randint(3, 7)):
            level = r.randint(2, 4)
            out.append("<h%d>%s</h%d>" % (level, self.title(), level))
            for _ in range(r.randint(1, 4)):
                out += self.paragraph()
            if r.random() < 0.3:
                out.append("<ul>")
                out += ["<li>%s</li>" % self.sentence() for _ in range(r.randint(2, 5))]
                out.append("</ul>")
            if r.random() < 0.3:
                out.append('<table border="0" cellpadding="2" width="100%">')
                for _ in range(r.randint(2, 4)):
                    out.append('<tr><td class="cell">%s</td>' % self.title())
                    out.append('<td class="cell">%s</td></tr>' % self.sentence())
                out.append("</table>")
            if r.random() < 0.2:
                out += ["<!-- section note", self.sentence(), "-->"]
        out += ['<div class="footer"><span>&copy; 2024 %s</span></div>' % self.title(), "</body>", "</html>"]
        return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--megabytes", type=float, required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--distinct", type=int, default=0)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    text = MadeUpText(made_up_words(args.distinct, rng), rng) if args.distinct else LibraryText(sentences(), rng)
    target = int(args.megabytes * 1024 * 1024)
    written = 0
    with open(args.out, "wb") as out:
        while written < target:
            page = ("\r\n".join(Page(rng, text).render()) + "\r\n").encode("cp1252", errors="replace")
            out.write(page)
            written += len(page)


if __name__ == "__main__":
    main()
