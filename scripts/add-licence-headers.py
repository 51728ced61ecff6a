#!/usr/bin/env python3
# SPDX-FileCopyrightText: The Pleatora developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Gives every file that `reuse lint` finds without a licence Pleatora's two SPDX lines, in the
file's comment syntax, after a #! line or an XML declaration. Names the files it cannot annotate:
those go into .reuse/dep5."""

import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
# REUSE-IgnoreStart
LINES = ["SPDX-FileCopyrightText: The Pleatora developers",
         "SPDX-License-Identifier: GPL-3.0-or-later"]
# REUSE-IgnoreEnd
HASH = {".txt", ".sh", ".py", ".cmake", ".bash-completion"}
HASH_NAMES = {"CMakeLists.txt", ".gitignore", ".clang-format", "run"}
SLASHES = {".cpp", ".h"}
MARKUP = {".md", ".ui", ".qrc", ".svg", ".xml"}


def unlicensed_files():
    report = subprocess.run(["reuse", "lint"], cwd=ROOT, capture_output=True, text=True).stdout
    section = report.split("# MISSING COPYRIGHT AND LICENSING INFORMATION", 1)
    if len(section) < 2:
        return []
    section = section[1].split("\n# ", 1)[0]
    return sorted({line[2:] for line in section.splitlines() if line.startswith("* ")})


def header(path):
    if path.suffix in SLASHES:
        return [f"// {line}" for line in LINES], "//"
    if path.name in HASH_NAMES or path.suffix in HASH:
        return [f"# {line}" for line in LINES], "#"
    if path.suffix in MARKUP:
        return ["<!--", *LINES, "-->"], None
    return None, None


def annotate(path):
    lines, comment = header(path)
    if lines is None:
        return False
    text = path.read_text(encoding="utf-8").split("\n")
    # A #! line, an XML declaration or a document type stays first.
    start = 0
    while start < len(text) and re.match(r"#!|<\?xml|<!DOCTYPE", text[start]):
        start += 1
    after = text[start] if start < len(text) else ""
    if comment and after.startswith(comment):
        lines = [*lines, comment]  # an empty comment line before the file's own comment
    elif comment is None and not after.startswith("<"):
        lines = [*lines, ""]  # Markdown wants a blank line after the comment
    path.write_text("\n".join(text[:start] + lines + text[start:]), encoding="utf-8")
    return True


def main():
    left = [name for name in unlicensed_files() if not annotate(ROOT / name)]
    for name in left:
        print(f"{name}: no comment syntax known, give it an entry in .reuse/dep5", file=sys.stderr)
    return 1 if left else 0


if __name__ == "__main__":
    sys.exit(main())
