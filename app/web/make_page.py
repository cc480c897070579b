"""Puts the page together into one file: the page's markup, style and script
inline, and the worker's script (the module's loader, which holds the
WebAssembly module, then worker.js) as text that the page starts its worker
from, under a Content-Security-Policy that names the inline style and script
by their SHA-256 hashes, lets the worker start from that text alone, and
allows nothing to be fetched."""

import argparse
import base64
import hashlib
import pathlib


def csp_hash(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode("ascii") + "'"


def main():
    parser = argparse.ArgumentParser()
    for name in ("page", "style", "script", "module", "worker", "output", "version"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    read = lambda path: pathlib.Path(path).read_text(encoding="utf-8")
    style = "\n" + read(args.style)
    script = "\n" + read(args.script)
    worker = "\n" + read(args.module) + "\n" + read(args.worker)
    if "</script" in worker.lower() or "<!--" in worker:
        raise SystemExit("make_page: the worker's script would end its script element")
    policy = "; ".join([
        "default-src 'none'",
        f"script-src {csp_hash(script)} 'wasm-unsafe-eval'",
        f"style-src {csp_hash(style)}",
        "worker-src blob:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    page = read(args.page)
    # The version first, everywhere; the inserted style and script are left as they are.
    for key, value, count in (("@POLICY@", policy, 1), ("@VERSION@", args.version, -1),
                              ("@STYLE@", style, 1), ("@SCRIPT@", script, 1),
                              ("@WORKER@", worker, 1)):
        if key not in page:
            raise SystemExit(f"make_page: {key} missing from {args.page}")
        page = page.replace(key, value, count)
    pathlib.Path(args.output).write_text(page, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
