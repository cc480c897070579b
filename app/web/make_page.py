"""Puts the page together into one file: the page's markup, its style, its
script and the module's loader (which holds the WebAssembly module) inline,
under a Content-Security-Policy that names the inline style and script by
their SHA-256 hashes and allows nothing to be fetched."""

import argparse
import base64
import hashlib
import pathlib


def csp_hash(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode("ascii") + "'"


def main():
    parser = argparse.ArgumentParser()
    for name in ("page", "style", "script", "module", "output", "version"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    read = lambda path: pathlib.Path(path).read_text(encoding="utf-8")
    style = "\n" + read(args.style)
    script = "\n" + read(args.module) + "\n" + read(args.script)
    policy = "; ".join([
        "default-src 'none'",
        f"script-src {csp_hash(script)} 'wasm-unsafe-eval'",
        f"style-src {csp_hash(style)}",
        "img-src blob:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    page = read(args.page)
    # The version first, everywhere; the inserted style and script are left as they are.
    for key, value, count in (("@POLICY@", policy, 1), ("@VERSION@", args.version, -1),
                              ("@STYLE@", style, 1), ("@SCRIPT@", script, 1)):
        if key not in page:
            raise SystemExit(f"make_page: {key} missing from {args.page}")
        page = page.replace(key, value, count)
    pathlib.Path(args.output).write_text(page, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
