#!/usr/bin/env python3
"""Checks that each named file is one strict JSON document (UTF-8, no duplicate keys, no NaN or
Infinity) and prints its scalar values as "path.to.key=value" lines (array elements by index),
each file's lines after a line "#FILE"; exit 1 with a line "#FILE invalid: reason" otherwise."""
import json
import sys


def unique(pairs):
    keys = [k for k, _ in pairs]
    if len(keys) != len(set(keys)):
        raise ValueError("duplicate key")
    return dict(pairs)


def refuse(name):
    raise ValueError("not a JSON number: " + name)


def flatten(prefix, value, out):
    if isinstance(value, dict):
        for key, item in value.items():
            flatten(prefix + "." + key if prefix else key, item, out)
    elif isinstance(value, list):
        for index, item in enumerate(value):
            flatten(prefix + "." + str(index), item, out)
    else:
        out.append(prefix + "=" + json.dumps(value, ensure_ascii=False))


status = 0
for path in sys.argv[1:]:
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8")
        document = json.loads(text, object_pairs_hook=unique, parse_constant=refuse)
    except (OSError, ValueError) as error:
        print("#%s invalid: %s" % (path, error))
        status = 1
        continue
    lines = []
    flatten("", document, lines)
    print("#" + path)
    for line in lines:
        print(line)
sys.exit(status)
