# -*- coding: utf-8 -*-

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: scanner_info
short_description: Find the barcode scanners on the serial ports of a host
description:
  - Asks every given serial port (by default every port C(tavrik-cli ports) lists)
    for the scanner's model and firmware, all ports at once, with C(tavrik-cli probe --json)
    on the managed host.
  - Changes nothing.
version_added: 1.0.0
author:
  - Tavrik developers (tavrik@zeyd.ru)
options:
  ports:
    description:
      - The serial ports to ask, such as C(/dev/ttyACM0) or a link under C(/dev/serial/by-id/).
      - Without it, every serial port of the host.
    type: list
    elements: str
notes:
  - Supports check mode; it never changes anything.
  - The user the module runs as must be allowed to open the ports (the group C(dialout)).
extends_documentation_fragment:
  - zeyd.tavrik.connection
'''

EXAMPLES = r'''
- name: Find the scanners of the host
  zeyd.tavrik.scanner_info:
  register: found

- name: Ask two ports at 115200 baud
  zeyd.tavrik.scanner_info:
    ports:
      - /dev/ttyACM0
      - /dev/ttyACM1
    speed: 115200

- name: Tell what answered
  ansible.builtin.debug:
    msg: "{{ item.port }}: {{ item.device }}"
  loop: "{{ found.scanners }}"
'''

RETURN = r'''
scanners:
  description: One entry per port where a scanner answered, in the order of the ports.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The port.
      type: str
      sample: /dev/ttyACM0
    model:
      description: The scanner's model code.
      type: int
      sample: 156
    firmware:
      description: The firmware version.
      type: str
      sample: "2.3"
    device:
      description: The scanner as C(tavrik-cli probe) names it.
      type: str
      sample: Ручной сканер "Luch H4 BT" (v.2.3)
failed_ports:
  description: One entry per port where no scanner answered.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The port.
      type: str
      sample: /dev/ttyUSB0
    msg:
      description: Why, in the tool's words.
      type: str
      sample: (-1) Нет связи
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.zeyd.tavrik.plugins.module_utils.tavrik_cli import (
    CONNECTION_ARGS, connection_options, failure_text, json_answer, run_cli)


def main():
    argument_spec = dict(ports=dict(type='list', elements='str'))
    argument_spec.update(CONNECTION_ARGS)
    module = AnsibleModule(argument_spec=argument_spec, supports_check_mode=True)

    ports = module.params['ports']
    if ports is None:
        rc, out, err = run_cli(module, ['ports'])
        if rc != 0:
            module.fail_json(msg=failure_text(None, err, rc))
        ports = out.split()
    # The tool refuses a port given twice; asking it once answers for both.
    ports = list(dict.fromkeys(ports))
    if not ports:
        module.exit_json(changed=False, scanners=[], failed_ports=[])

    args = ['probe', '--json'] + connection_options(module)
    for port in ports:
        args += ['--port', port]
    rc, out, err = run_cli(module, args)
    answer = json_answer(out)
    # Status 1 only says that some port did not answer; the array tells which.
    if not isinstance(answer, list) or rc not in (0, 1):
        module.fail_json(msg=failure_text(answer, err, rc))

    scanners = [dict(port=r['port'], model=r['model'], firmware=r['firmware'], device=r['device'])
                for r in answer if r.get('ok')]
    failed_ports = [dict(port=r['port'], msg=r['msg']) for r in answer if not r.get('ok')]
    module.exit_json(changed=False, scanners=scanners, failed_ports=failed_ports)


if __name__ == '__main__':
    main()
