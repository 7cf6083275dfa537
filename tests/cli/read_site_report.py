#!/usr/bin/env python3
"""Reads a site report as a strict XML parser and as the HTML parser of a browser-like reader
would, and prints what a test checks as one JSON object: the page rows, the chart bars, the
counts, the failures, the groups of pages that share a tag, and what would make the page
depend on anything outside it."""

import json
import sys
import xml.etree.ElementTree as ET
from html.parser import HTMLParser

XHTML_SVG = "{http://www.w3.org/2000/svg}"


def text(element):
    return "".join(element.itertext())


class Outside(HTMLParser):
    """Whatever would run a script or fetch something from elsewhere."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found = []

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "iframe", "object", "embed", "link", "img"):
            self.found.append(tag)
        for name, value in attrs:
            if name.startswith("on") or name == "src":
                self.found.append(name)
            if name == "href" and not (value.startswith("./") or value.startswith("../")):
                self.found.append("href " + value)


def main(path):
    with open(path, "rb") as raw:
        data = raw.read()
    source = data.decode("utf-8")  # raises on bytes that are no UTF-8
    root = ET.fromstring(data)  # raises on anything not well-formed
    outside = Outside()
    outside.feed(source)
    if "url(" in source or "@import" in source:
        outside.found.append("css resource")

    rows = []
    groups = []
    # A group's rows may go on in the next table of rows, without a heading there.
    for tbody in root.iter("tbody"):
        if "same-tag" not in tbody.get("class", ""):
            continue
        heading = tbody.find("tr/th")
        if heading is not None:
            groups.append({"heading": text(heading), "rows": 0})
        groups[-1]["rows"] += len([r for r in tbody.iter("tr") if "page" in r.get("class", "").split()])
    for row in root.iter("tr"):
        classes = row.get("class", "").split()
        if "page" not in classes:
            continue
        cells = row.findall("td")
        link = cells[0].find("a")
        rows.append({
            "class": [c for c in classes if c != "page"][0],
            "href": link.get("href"),
            "name": text(link),
            "cells": [text(cell) for cell in cells[1:]],
            "inserted": [text(i) for i in row.iter("ins")],
            "deleted": [text(d) for d in row.iter("del")],
        })
    charts = {}
    for section in root.iter("section"):
        svg = section.find(XHTML_SVG + "svg")
        if svg is None:
            continue
        bars = []
        for bar in svg.iter(XHTML_SVG + "g"):
            labels = bar.findall(XHTML_SVG + "text")
            bars.append({"label": text(labels[0]), "value": text(labels[1]),
                         "bars": len(bar.findall(XHTML_SVG + "rect"))})
        charts[section.get("id")] = bars
    counts = {}
    for dl in root.iter("dl"):
        for dt, dd in zip(dl.findall("dt"), dl.findall("dd")):
            counts[text(dt)] = text(dd)
    failures = [text(item) for item in root.iter("li") if item.find("span") is not None
                and item.find("span").get("class") == "cause"]
    print(json.dumps({"title": text(root.find("head/title")), "rows": rows, "groups": groups,
                      "charts": charts, "counts": counts, "failures": failures,
                      "outside": outside.found, "run": text(root.find("body/main/header/p"))}))


main(sys.argv[1])
