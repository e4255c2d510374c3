#!/usr/bin/env python3
"""Checks the package manager's manifests qpbc wrote: each of the three files parses as YAML,
validates against its published schema, and the installer's SHA-256 is the program's.

validate_winget.py SCHEMA_DIR MANIFEST_DIR PROGRAM"""
import glob
import hashlib
import json
import os
import sys

import jsonschema
import yaml

schemas, folder, program = sys.argv[1:4]
kinds = {"version": None, "installer": None, "defaultLocale": None}
files = sorted(glob.glob(os.path.join(folder, "*.yaml")))
if len(files) != 3:
    sys.exit("expected three manifests, found %s" % files)
for path in files:
    with open(path, encoding="utf-8") as f:
        doc = yaml.safe_load(f)
    kind = doc.get("ManifestType")
    if kind not in kinds or kinds[kind] is not None:
        sys.exit("%s: unexpected ManifestType %r" % (path, kind))
    kinds[kind] = (path, doc)
    with open(os.path.join(schemas, "manifest.%s.1.10.0.json" % kind), encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft7Validator.check_schema(schema)
    errors = sorted(jsonschema.Draft7Validator(schema).iter_errors(doc), key=str)
    if errors:
        sys.exit("%s does not validate:\n%s" % (path, "\n".join(e.message for e in errors)))

ident = kinds["version"][1]["PackageIdentifier"]
locale = kinds["defaultLocale"][1]["PackageLocale"]
expected = {"version": ident + ".yaml", "installer": ident + ".installer.yaml",
            "defaultLocale": ident + ".locale." + locale + ".yaml"}
for kind, (path, doc) in kinds.items():
    if os.path.basename(path) != expected[kind]:
        sys.exit("%s should be named %s" % (path, expected[kind]))
    for key in ("PackageIdentifier", "PackageVersion"):
        if doc[key] != kinds["version"][1][key]:
            sys.exit("%s: %s differs from the version manifest's" % (path, key))

with open(program, "rb") as f:
    digest = hashlib.sha256(f.read()).hexdigest()
sha = kinds["installer"][1]["Installers"][0]["InstallerSha256"]
if sha.lower() != digest:
    sys.exit("InstallerSha256 %s is not the program's %s" % (sha, digest))
print(json.dumps({k: v[1] for k, v in kinds.items()}, sort_keys=True))
