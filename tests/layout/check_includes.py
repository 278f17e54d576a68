#!/usr/bin/env python3
"""Dependencies run one way: every #include "folder/..." of the product's
folders must name a folder listed above its own in the README's "Where the
code lives" (folders named in one line are siblings and include neither
other). The portable files of the core never include <windows.h> or
platform/; a Windows file (_win32 in its name) of the core may reach
platform/win32/ alone. Prints each offence as file:line; exit code 1 on any.
Usage: check_includes.py SOURCE_DIR"""
import pathlib
import re
import sys

CORE = ["variant", "text", "ports", "image", "scene", "settings", "render", "show", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_order(readme):
    """Rank of each folder in the README's list; one line, one rank."""
    text = readme.read_text(encoding="utf-8")
    section = text.split("## Where the code lives", 1)[1].split("\n## ", 1)[0]
    # A bullet and the lines that continue it, one string each.
    bullets = []
    for line in section.splitlines():
        if line.startswith("- "):
            bullets.append(line)
        elif bullets and line.startswith("  "):
            bullets[-1] += " " + line.strip()
    ranks = {}
    for rank, bullet in enumerate(bullets):
        # The folders a bullet is about: each `name/` followed by ":" or ",".
        for name in re.findall(r"`([a-z0-9/]+)/`\s*[:,]", bullet):
            ranks.setdefault(name, rank)
    return ranks


def folder_of(path, ranks):
    """The longest listed folder the path lies in, or None."""
    best = None
    for name in ranks:
        if path == name or path.startswith(name + "/"):
            if best is None or len(name) > len(best):
                best = name
    return best


def offences(root, ranks):
    found = []
    for name in sorted(ranks):
        base = root / name
        if not base.is_dir():
            continue
        for source in sorted(base.glob("*")):
            if source.suffix not in (".h", ".cpp"):
                continue
            relative = source.relative_to(root).as_posix()
            own = folder_of(relative, ranks)
            windows_file = "_win32" in source.name
            core = own in CORE
            lines = source.read_text(encoding="utf-8", errors="replace").splitlines()
            for number, line in enumerate(lines, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                kind, target = match.groups()
                where = f"{relative}:{number}"
                if kind == "<":
                    if core and not windows_file and target.lower() in ("windows.h", "d3d8.h", "objbase.h"):
                        found.append(f"{where}: a portable file includes <{target}>")
                    continue
                other = folder_of(target, ranks)
                if other is None or other == own:
                    continue
                if core and other.startswith("platform/"):
                    if not (windows_file and other == "platform/win32"):
                        found.append(f"{where}: {own}/ reaches {other}/ (the core reaches the platform through ports/)")
                    continue
                if ranks[other] >= ranks[own]:
                    found.append(f"{where}: {own}/ includes {other}/, listed {'beside' if ranks[other] == ranks[own] else 'below'} it")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    ranks = folder_order(root / "README.md")
    missing = [name for name in CORE if name not in ranks]
    if missing:
        print("README lists no place for: " + ", ".join(missing))
        return 1
    found = offences(root, ranks)
    for line in found:
        print(line)
    print(f"{len(found)} includes against the folder order")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
