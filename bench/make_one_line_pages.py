#!/usr/bin/env python3
"""Pages of about 420 MB for bench/stop_gap_bench: mostly one line each, the kinds that once made
one step of the analysis cover the whole page. Written into the folder given (they take 4 GB)."""
import random
import sys

MEGABYTES = 420
WORDS = ["alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india",
         "juliet", "kilo", "lima", "mike", "november", "oscar", "papa", "Garden", "House", "River"]
ACCENTED = ["été", "légumes", "château", "crème", "naïve", "façade", "œuvre", "Zürich", "déjà"]
HEAD = (b'<html><head><title>Big page</title><meta name="description" content="a big page">'
        b"</head><body>")
UTF8_HEAD = (b'<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">'
             b"<title>Big</title></head><body>")


def words(count, pool, tags, encoding="latin-1"):
    out = []
    for _ in range(count):
        word, r = random.choice(pool), random.random()
        if tags and r < 0.05:
            word = "<b>" + word + "</b>"
        elif tags and r < 0.07:
            word = "<h1>" + word + "</h1>"
        elif tags and r < 0.09:
            word = '<a href="x.htm">' + word + "</a>"
        elif tags and r < 0.11:
            word += " &amp;"
        elif tags and r < 0.13:
            word += "&nbsp;"
        out.append(word)
    return " ".join(out).encode(encoding) + b" "


def write(folder, name, head, unit, tail=b""):
    with open(f"{folder}/{name}", "wb") as page:
        page.write(head)
        for _ in range((MEGABYTES * 1000 * 1000 - len(head)) // len(unit)):
            page.write(unit)
        page.write(tail)


def main():
    folder = sys.argv[1]
    random.seed(7)
    write(folder, "ascii.html", HEAD, words(200000, WORDS + ["caf&eacute;"], True))
    write(folder, "plain.html", HEAD, words(200000, WORDS, False))
    write(folder, "utf8.html", UTF8_HEAD,
          words(150000, WORDS + ACCENTED + ["“quoted”", "don’t"], True, "utf-8"))
    write(folder, "utf8ascii.html", UTF8_HEAD, words(200000, WORDS, False))
    write(folder, "capitals.html", HEAD,
          words(200000, [w.upper() for w in WORDS] + ["\u017dAR"], False, "cp1252"))
    write(folder, "indented.html", b"<html>\r\n<head><title>Big</title></head>\r\n<body>\r\n  ",
          words(200000, WORDS, True), b"\r\n</body>\r\n</html>\r\n")
    write(folder, "unix.html", b"<html>\n<head><title>Big</title></head>\n<body>\n",
          words(200000, WORDS, True), b"\n</body>\n</html>\n")
    write(folder, "nowords.html", HEAD + b'<meta name="x" content="y">',
          b"123 456, 7.8; (9) - 10 <p> 11 &amp; 12 ")
    write(folder, "comment.html", HEAD + b"<!-- ", b"alpha bravo <b>charlie</b> 12 - ")


if __name__ == "__main__":
    main()
