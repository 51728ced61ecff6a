#!/usr/bin/env python3
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails, naming each one, when a relative link in README.md or docs/*.md leads to no file, or its
#anchor to no heading of the Markdown file it names. Links to other sites are not followed."""

import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")


def prose_lines(text):
    """The lines outside fenced code blocks, with inline code removed."""
    fenced = False
    for number, line in enumerate(text.splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        if not fenced:
            yield number, re.sub(r"`[^`]*`", "", line)


def anchors(path):
    """The anchors of a file's headings, made as the common Markdown renderers make them."""
    seen = {}
    result = set()
    for _, line in prose_lines(path.read_text(encoding="utf-8")):
        match = HEADING.match(line)
        if not match:
            continue
        title = re.sub(r"[*_]|\[([^\]]*)\]\([^)]*\)", r"\1", match.group(1))
        slug = re.sub(r"[^\w\- ]", "", title.lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        result.add(slug if count == 0 else f"{slug}-{count}")
    return result


def broken_links(document):
    for number, line in prose_lines(document.read_text(encoding="utf-8")):
        for target in LINK.findall(line):
            if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.IGNORECASE):
                continue  # another site, or mail
            path_part, _, anchor = target.partition("#")
            linked = (document.parent / path_part).resolve() if path_part else document
            where = f"{document.relative_to(ROOT)}:{number}: {target}"
            if not linked.exists():
                yield f"{where}: no such file"
            elif anchor and linked.suffix == ".md" and anchor not in anchors(linked):
                yield f"{where}: no such heading in {linked.relative_to(ROOT)}"


def main():
    documents = [ROOT / "README.md", *sorted((ROOT / "docs").glob("*.md"))]
    problems = [problem for document in documents for problem in broken_links(document)]
    for problem in problems:
        print(problem, file=sys.stderr)
    checked = ", ".join(str(document.relative_to(ROOT)) for document in documents)
    if problems:
        print(f"{len(problems)} broken links in {checked}", file=sys.stderr)
        return 1
    print(f"Links checked in {checked}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
