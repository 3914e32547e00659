#!/usr/bin/python3
"""Puts the desk's page together as one file: the template with its style and its script (the
module, then the page's own) inlined, and the Content-Security-Policy allowing exactly those."""
import base64
import hashlib
import sys

template, style, module, page, out = sys.argv[1:]


def read(path):
    with open(path, encoding='utf-8') as f:
        return f.read()


def digest(text):
    return "'sha256-" + base64.b64encode(hashlib.sha256(text.encode()).digest()).decode() + "'"


style_text, script_text = read(style), read(module) + '\n' + read(page)
if '</script' in script_text.lower() or '</style' in style_text.lower():
    sys.exit('make-page: an inlined text would end its element early')
html = read(template)
for name, value in (('@STYLE_HASH@', digest(style_text)), ('@SCRIPT_HASH@', digest(script_text)),
                    ('@STYLE@', style_text), ('@SCRIPT@', script_text)):
    html = html.replace(name, value, 1)
with open(out, 'w', encoding='utf-8') as f:
    f.write(html)
