# -*- coding: utf-8 -*-
# Running tavrik-cli on the managed host and reading its JSON answer: what the
# modules share. The tool does the work; the modules only pass parameters on.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json

SPEEDS = [2400, 4800, 9600, 19200, 38400, 57600, 115200]

CONNECTION_ARGS = dict(
    speed=dict(type='int', default=9600, choices=SPEEDS),
    timeout=dict(type='int', default=1000),
    cli=dict(type='str', default='tavrik-cli'),
)


def cli_path(module):
    """The tool: a path as given, or a name looked up in PATH."""
    cli = module.params['cli']
    if '/' in cli:
        return cli
    return module.get_bin_path(cli, required=True)


def connection_options(module):
    return ['--speed', str(module.params['speed']), '--timeout', str(module.params['timeout'])]


def run_cli(module, args):
    """Runs the tool; returns its status, its stdout and its stderr stripped."""
    rc, out, err = module.run_command([cli_path(module)] + args)
    return rc, out, err.strip()


def json_answer(out):
    """The tool's JSON answer, or None when stdout holds none."""
    try:
        return json.loads(out)
    except ValueError:
        return None


def failure_text(answer, err, rc):
    """The tool's own message for a failed run."""
    if isinstance(answer, dict) and answer.get('msg'):
        return answer['msg']
    # A refused command line is followed by the tool's usage text.
    return err.split('\n\n')[0] or 'tavrik-cli ended with status %d' % rc
