#!/usr/bin/env python3
"""Renders the user's guide (docs/*.md) as HTML pages with its pictures,
for the installer and the programs zip.

    render-guide.py DOCS_FOLDER OUTPUT_FOLDER

README.md becomes index.html, every other page NAME.html; links between
pages (with their #anchors) and to the pictures keep working offline, and
every heading gets the anchor a link to it uses (lowercase, spaces as
hyphens, punctuation dropped). Markdown goes through cmark-gfm with its
table extension. Fails, naming it, on a link to a page or picture that is
not there.
"""
import html
import os
import re
import shutil
import subprocess
import sys

STYLE = """body{font-family:Segoe UI,Arial,sans-serif;max-width:52em;margin:1em auto;padding:0 1em;line-height:1.45}
table{border-collapse:collapse}td,th{border:1px solid #bbb;padding:.2em .5em;vertical-align:top}
code{background:#f3f3f3}pre{background:#f3f3f3;padding:.5em;overflow:auto}img{max-width:100%}
nav{border-bottom:1px solid #ccc;padding-bottom:.4em;margin-bottom:1em}"""


def page_name(markdown_name):
    return "index.html" if markdown_name == "README.md" else markdown_name[:-3] + ".html"


def slug(text):
    text = re.sub(r"<[^>]+>", "", html.unescape(text)).strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def render(docs, out):
    pages = sorted(name for name in os.listdir(docs) if name.endswith(".md"))
    os.makedirs(out, exist_ok=True)
    problems = []
    for name in pages:
        body = subprocess.run(["cmark-gfm", "-e", "table", "-e", "autolink", os.path.join(docs, name)],
                              check=True, capture_output=True, text=True).stdout
        body = re.sub(r"<h([1-6])>(.*?)</h\1>",
                      lambda m: '<h%s id="%s">%s</h%s>' % (m.group(1), slug(m.group(2)), m.group(2), m.group(1)),
                      body)

        def link(match):
            target = match.group(2)
            if re.match(r"^[a-z]+:|^#", target):
                return match.group(0)
            path, _, anchor = target.partition("#")
            if not os.path.exists(os.path.join(docs, path)):
                problems.append("%s links to %s, which is not in %s" % (name, path, docs))
            if path.endswith(".md"):
                path = page_name(path)
            return '%s="%s%s"' % (match.group(1), path, "#" + anchor if anchor else "")

        body = re.sub(r'(href|src)="([^"]*)"', link, body)
        title = re.search(r"<h1[^>]*>(.*?)</h1>", body)
        title = re.sub(r"<[^>]+>", "", title.group(1)) if title else name
        with open(os.path.join(out, page_name(name)), "w", encoding="utf-8") as f:
            f.write('<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8"><title>%s</title>'
                    "<style>%s</style></head><body>\n<nav><a href=\"index.html\">User's guide</a></nav>\n%s"
                    "</body></html>\n" % (title, STYLE, body))
    images = os.path.join(docs, "images")
    if os.path.isdir(images):
        shutil.copytree(images, os.path.join(out, "images"), dirs_exist_ok=True)
    return problems


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: render-guide.py DOCS_FOLDER OUTPUT_FOLDER")
    problems = render(sys.argv[1], sys.argv[2])
    for problem in problems:
        print("render-guide.py: " + problem, file=sys.stderr)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
