# -*- coding: utf-8 -*-
# The options every module of the collection passes on to tavrik-cli.

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r'''
options:
  speed:
    description: The line speed in baud.
    type: int
    default: 9600
    choices: [2400, 4800, 9600, 19200, 38400, 57600, 115200]
  timeout:
    description: How long to wait for an answer, in milliseconds.
    type: int
    default: 1000
  cli:
    description: The command-line tool on the managed host, a path or a name looked up in C(PATH).
    type: str
    default: tavrik-cli
requirements:
  - tavrik-cli on the managed host (the Debian package C(tavrik))
'''
