# -*- coding: utf-8 -*-

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: scanner_settings
short_description: Bring a barcode scanner to the wanted settings
description:
  - Reads the settings of the scanner on I(port) and compares them, field by field,
    with the wanted settings, the settings file I(src) (without it, the scanner's own
    settings) with I(values) applied. Only when a field differs are the settings saved
    into the scanner, so a second run changes nothing.
  - The lens fields (C(lens_upper), C(lens_lower), C(lens_frequency)) belong to the
    scanner; they never count and are never written.
  - The save's questions are answered yes. Runs C(tavrik-cli apply) on the managed host.
version_added: 1.0.0
author:
  - Tavrik developers (tavrik@zeyd.ru)
options:
  port:
    description: The scanner's serial port, such as C(/dev/ttyACM0) or a link under C(/dev/serial/by-id/).
    type: str
    required: true
  src:
    description:
      - A settings file (C(*.qdx)) on the managed host with the wanted settings.
      - A file written for another model is fine; the scanner keeps its lens values.
    type: path
  values:
    description:
      - Field names (as C(tavrik-cli show) prints them) and their wanted values, in any
        form C(tavrik-cli set) accepts, over I(src) (or over the scanner's own settings).
      - A number alone is in the stored unit, a number with the unit (C(250 ms)) is
        converted; an interface by name (C(usb_cdc)) or code; a byte sequence as a list
        of bytes or a text such as C(0x0D 0x0A).
      - An unknown name or a value the field does not take fails the task with the
        tool's message, and nothing is written.
    type: dict
notes:
  - At least one of I(src) and I(values) is given.
  - Check mode reads the scanner and tells what would change; it writes nothing.
  - Diff mode returns the settings before and after as C(tavrik-cli show) prints them.
  - A scanner that does not answer, or a save that fails part-way, fails the task with
    the tool's message; such a task is never reported as changed.
extends_documentation_fragment:
  - zeyd.tavrik.connection
'''

EXAMPLES = r'''
- name: The approved settings, with the interface of this shop
  zeyd.tavrik.scanner_settings:
    port: /dev/ttyACM0
    src: /var/tmp/tavrik-approved.qdx
    values:
      barcode_interface: usb_cdc

- name: Two fields changed, the rest as the scanner has them
  zeyd.tavrik.scanner_settings:
    port: /dev/serial/by-id/usb-Zeyd_Luch_H4_ZD123456-if00
    values:
      code39_enabled: false
      redecode_timeout: 400 ms
      barcode_suffix_ascii: [0x0D, 0x0A]

- name: Every scanner the host has
  zeyd.tavrik.scanner_settings:
    port: "{{ item.port }}"
    src: /var/tmp/tavrik-approved.qdx
  loop: "{{ found.scanners }}"
'''

RETURN = r'''
changes:
  description:
    - The fields that differ (in check mode) or were written, in image order, as
      C(tavrik-cli show) prints them.
    - On a failure, what the save was about to write.
  returned: always
  type: list
  elements: dict
  contains:
    name:
      description: The field.
      type: str
      sample: redecode_timeout
    before:
      description: The scanner's value.
      type: str
      sample: 12 (600 ms)
    after:
      description: The wanted value.
      type: str
      sample: 8 (400 ms)
diff:
  description: The scanner's settings before and after, as C(tavrik-cli show) prints them.
  returned: in diff mode, when the scanner was read
  type: dict
  contains:
    before:
      description: The settings the scanner had.
      type: str
    after:
      description: The settings it has now (or would have, in check mode).
      type: str
'''

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.zeyd.tavrik.plugins.module_utils.tavrik_cli import (
    CONNECTION_ARGS, connection_options, failure_text, json_answer, run_cli)


def value_text(value):
    """A value as tavrik-cli set reads it."""
    if isinstance(value, bool):
        return 'true' if value else 'false'
    if isinstance(value, (list, tuple)):
        return ' '.join(str(v) for v in value)
    return str(value)


def main():
    argument_spec = dict(
        port=dict(type='str', required=True),
        src=dict(type='path'),
        values=dict(type='dict'),
    )
    argument_spec.update(CONNECTION_ARGS)
    module = AnsibleModule(argument_spec=argument_spec, required_one_of=[('src', 'values')],
                           supports_check_mode=True)

    args = ['apply', '--port', module.params['port'], '--yes', '--json'] + connection_options(module)
    if module.check_mode:
        args.append('--check')
    if module.params['src']:
        # Absolute, so that the tool never takes a file name for NAME=VALUE.
        args.append(os.path.abspath(module.params['src']))
    for name, value in (module.params['values'] or {}).items():
        args.append('%s=%s' % (name, value_text(value)))

    rc, out, err = run_cli(module, args)
    answer = json_answer(out)
    changes = answer.get('changes', []) if isinstance(answer, dict) else []
    if rc != 0 or not isinstance(answer, dict) or answer.get('failed'):
        module.fail_json(msg=failure_text(answer, err, rc), changed=False, changes=changes)

    result = dict(changed=answer['changed'], changes=changes)
    if module._diff and answer.get('before'):
        result['diff'] = dict(before=answer['before'], after=answer['after'],
                              before_header=module.params['port'], after_header=module.params['src'] or 'values')
    module.exit_json(**result)


if __name__ == '__main__':
    main()
