#!/usr/bin/env bash
# ansible-test sanity on a copy of the collection, every test that runs
# offline. The others build a virtual environment with packages from PyPI
# (pip's bootstrap script included), which a machine without that network
# cannot have: ansible-doc, import, pep8, pylint, runtime-metadata,
# validate-modules, yamllint. (ansible-doc itself is run by the package test.)
set -euo pipefail
source=$(cd "$(dirname "$0")/../ansible_collections/zeyd/tavrik" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/ansible_collections/zeyd"
cp -r "$source" "$work/ansible_collections/zeyd/tavrik"
rm -rf "$work/ansible_collections/zeyd/tavrik/tests/output"
cd "$work/ansible_collections/zeyd/tavrik"
skipped=(ansible-doc import pep8 pylint runtime-metadata validate-modules yamllint)
ansible-test sanity --python "$(python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])')" \
  "${skipped[@]/#/--skip-test=}"
