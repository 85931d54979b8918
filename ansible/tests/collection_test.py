#!/usr/bin/env python3
# The collection zeyd.tavrik in real playbooks: ansible-playbook on this host
# (-i localhost, -c local) drives tavrik-cli against tavrik-scanner-sim ports,
# and the emulators' memory files and request logs tell what reached them.
#
#   TAVRIK_CLI=.../tavrik-cli TAVRIK_SIM=.../tavrik-scanner-sim python3 collection_test.py [TestClass]

import json
import os
import re
import shutil
import subprocess
import tempfile
import unittest

CLI = os.environ['TAVRIK_CLI']
SIM = os.environ['TAVRIK_SIM']
SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
COLLECTIONS = os.path.join(SOURCE, 'ansible')

# Image offsets of the fields the tests look at (the scanner's settings image).
CODE39_ENABLED = 5
LENS = slice(14, 19)  # lens_upper (i16), lens_lower (i16), lens_frequency (u8)
REDECODE_TIMEOUT = 55
WRITE_BLOCK = '9C'


class Scanner:
    """One tavrik-scanner-sim process, its memory kept in a file, its requests logged."""

    def __init__(self, folder, name, *options):
        self.memory = os.path.join(folder, name + '.qdx')
        self.log = os.path.join(folder, name + '.log')
        self.process = subprocess.Popen([SIM, '--memory-out', self.memory, '--log', self.log] + list(options),
                                        stdout=subprocess.PIPE, text=True)
        self.port = self.process.stdout.readline().strip()
        if not self.port.startswith('/dev/'):
            raise RuntimeError('the emulator gave no port')

    def image(self):
        with open(self.memory, 'rb') as f:
            return f.read()[4:]

    def requests(self):
        with open(self.log) as f:
            return f.read().splitlines()

    def writes(self):
        return sum(1 for line in self.requests() if line.startswith(WRITE_BLOCK + ' '))

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stdout.close()


class PlaybookCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='tavrik-ansible-')
        self.scanners = []

    def tearDown(self):
        for scanner in self.scanners:
            scanner.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def scanner(self, *options):
        scanner = Scanner(self.folder, 'scanner%d' % len(self.scanners), *options)
        self.scanners.append(scanner)
        return scanner

    def path(self, name):
        return os.path.join(self.folder, name)

    def tool(self, *args):
        return subprocess.run([CLI] + list(args), check=True, capture_output=True, text=True).stdout

    def environment(self):
        env = dict(os.environ)
        env.update(ANSIBLE_COLLECTIONS_PATH=COLLECTIONS, ANSIBLE_HOME=self.path('ansible-home'),
                   ANSIBLE_LOCAL_TEMP=self.path('ansible-local'), ANSIBLE_REMOTE_TEMP=self.path('ansible-remote'),
                   ANSIBLE_NOCOLOR='1', ANSIBLE_RETRY_FILES_ENABLED='0', ANSIBLE_PYTHON_INTERPRETER='/usr/bin/python3',
                   PATH=os.path.dirname(CLI) + os.pathsep + env.get('PATH', ''))
        return env

    def ansible_playbook(self, playbook, inventory='localhost,', options=()):
        run = subprocess.run(['ansible-playbook', '-i', inventory, '-c', 'local', playbook] + list(options),
                             env=self.environment(), capture_output=True, text=True, timeout=600)
        return run

    def play(self, *tasks, check=False, diff=False):
        """Runs the tasks (module name, arguments) in one play; returns each task's registered result."""
        out = self.path('results.json')
        steps = []
        for i, (module, args) in enumerate(tasks):
            steps.append({'name': 'task %d' % i, module: args, 'register': 'r%d' % i, 'ignore_errors': True})
        steps.append({'name': 'results', 'ansible.builtin.copy': {
            'content': '{{ [%s] | to_json }}' % ', '.join('r%d' % i for i in range(len(tasks))), 'dest': out},
            'check_mode': False, 'diff': False})
        playbook = self.path('play.yml')
        with open(playbook, 'w') as f:
            json.dump([{'hosts': 'localhost', 'gather_facts': False, 'tasks': steps}], f)
        options = (['--check'] if check else []) + (['--diff'] if diff else [])
        run = self.ansible_playbook(playbook, options=options)
        self.assertTrue(os.path.exists(out), run.stdout + run.stderr)
        with open(out) as f:
            return json.load(f)

    def settings(self, scanner, check=False, diff=False, **args):
        args.setdefault('port', scanner.port)
        args.setdefault('cli', CLI)
        return self.play(('zeyd.tavrik.scanner_settings', args), check=check, diff=diff)[0]


class InfoTest(PlaybookCase):
    def test_found_silent_and_missing_ports(self):
        h4 = self.scanner('--model', '156', '--firmware', '0x0203')
        h1 = self.scanner()
        silent = self.scanner('--silence')
        missing = self.path('no-such-port')
        h1_device = self.tool('probe', '--port', h1.port).strip()
        r = self.play(('zeyd.tavrik.scanner_info', {
            'ports': [h4.port, silent.port, missing, h1.port], 'timeout': 200, 'cli': CLI}))[0]
        self.assertFalse(r.get('failed'), r)
        self.assertFalse(r['changed'])
        self.assertEqual(r['scanners'], [
            {'port': h4.port, 'model': 156, 'firmware': '2.3', 'device': 'Ручной сканер "Luch H4 BT" (v.2.3)'},
            {'port': h1.port, 'model': 150, 'firmware': '1.3', 'device': h1_device},
        ])
        self.assertEqual([p['port'] for p in r['failed_ports']], [silent.port, missing])
        for failure in r['failed_ports']:
            self.assertTrue(failure['msg'], failure)
        self.assertEqual(h4.writes() + h1.writes(), 0)

    def test_cli_missing_fails_clearly(self):
        r = self.play(('zeyd.tavrik.scanner_info', {'ports': ['/dev/null'], 'cli': 'no-such-tavrik-cli'}))[0]
        self.assertTrue(r['failed'])
        self.assertIn('no-such-tavrik-cli', r['msg'])


class SettingsTest(PlaybookCase):
    def test_check_mode_tells_and_writes_nothing(self):
        scanner = self.scanner('--model', '156')
        before = scanner.image()
        r = self.settings(scanner, check=True, values={'code39_enabled': False, 'redecode_timeout': '400 ms'})
        self.assertFalse(r.get('failed'), r)
        self.assertTrue(r['changed'])
        self.assertEqual(r['changes'], [
            {'name': 'code39_enabled', 'before': 'true', 'after': 'false'},
            {'name': 'redecode_timeout', 'before': '12 (600 ms)', 'after': '8 (400 ms)'},
        ])
        self.assertNotIn('diff', r)
        self.assertEqual(scanner.image(), before)
        self.assertEqual(scanner.writes(), 0)

    def test_file_of_another_model_then_again_in_diff_mode(self):
        # The scanner has lens values of its own; the approved file was made for
        # another model and carries other lens values.
        own = self.path('own.qdx')
        self.tool('defaults', '--model', '156', '-o', own)
        self.tool('set', own, 'lens_upper=100', 'lens_lower=-50', 'lens_frequency=2')
        scanner = self.scanner('--model', '156', '--image', own)
        lens = scanner.image()[LENS]
        approved = self.path('approved.qdx')
        self.tool('defaults', '--model', '150', '-o', approved)
        self.tool('set', approved, 'code39_enabled=false', 'redecode_timeout=8', 'lens_upper=300', 'lens_frequency=7')

        r = self.settings(scanner, diff=True, src=approved, values={'volume': 3})
        self.assertFalse(r.get('failed'), r)
        self.assertTrue(r['changed'])
        names = [c['name'] for c in r['changes']]
        self.assertIn('code39_enabled', names)
        self.assertIn('volume', names)
        self.assertFalse({'lens_upper', 'lens_lower', 'lens_frequency'} & set(names), names)
        self.assertIn('code39_enabled = true\n', r['diff']['before'])
        self.assertIn('code39_enabled = false\n', r['diff']['after'])
        self.assertIn('volume = 3\n', r['diff']['after'])

        image = scanner.image()
        self.assertEqual(image[CODE39_ENABLED], 0)
        self.assertEqual(image[REDECODE_TIMEOUT], 8)
        self.assertEqual(image[LENS], lens)
        # Every other field as the approved file has it, volume as the task sets it.
        self.tool('set', approved, 'volume=3')
        held = show_fields(self.tool('show', scanner.memory))
        wanted = show_fields(self.tool('show', approved))
        for name in ('lens_upper', 'lens_lower', 'lens_frequency'):
            del held[name], wanted[name]
        self.assertEqual(held, wanted)
        # The diff is the scanner's settings as show prints them.
        self.assertEqual(r['diff']['after'], self.tool('show', scanner.memory))

        writes = scanner.writes()
        again = self.settings(scanner, diff=True, src=approved, values={'volume': 3})
        self.assertFalse(again.get('failed'), again)
        self.assertFalse(again['changed'])
        self.assertEqual(again['changes'], [])
        self.assertEqual(scanner.writes(), writes)
        self.assertEqual(scanner.image(), image)

    def test_values_alone_change_only_what_they_name(self):
        scanner = self.scanner('--model', '156')
        before = scanner.image()
        r = self.settings(scanner, values={'redecode_timeout': '400 ms', 'barcode_suffix_ascii': [0x0D]})
        self.assertFalse(r.get('failed'), r)
        self.assertEqual([c['name'] for c in r['changes']], ['redecode_timeout', 'barcode_suffix_ascii'])
        after = scanner.image()
        self.assertEqual(after[REDECODE_TIMEOUT], 8)
        differing = [i for i in range(len(before)) if before[i] != after[i]]
        self.assertEqual(differing[0], REDECODE_TIMEOUT)
        self.assertEqual(len(differing), 2, differing)  # the timeout and the suffix's length byte

    def test_refusals_write_nothing(self):
        scanner = self.scanner('--model', '156')
        before = scanner.image()
        cases = [
            # 1: a name no field has
            ({'values': {'code39_enabled': False, 'no_such_field': 1}}, 'no_such_field: нет такого поля'),
            # 2: a value outside the field's range
            ({'values': {'redecode_timeout': '100000 ms'}}, 'redecode_timeout: недопустимое значение'),
            # 3: a settings file that is not there
            ({'src': self.path('missing.qdx')}, self.path('missing.qdx') + ': '),
            # 4: a time-out the tool does not take: its message, without its usage text
            ({'values': {'volume': 3}, 'timeout': 1}, 'tavrik-cli: недопустимое значение --timeout: 1'),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                r = self.settings(scanner, **args)
                self.assertTrue(r.get('failed'), r)
                self.assertFalse(r['changed'])
                self.assertIn(message, r['msg'])
                self.assertNotIn('Использование', r['msg'])
        self.assertEqual(scanner.image(), before)
        self.assertEqual(scanner.writes(), 0)
        self.assertEqual(scanner.requests(), [])  # the port was never opened

    def test_silent_port_and_hang_up_during_the_save_fail(self):
        silent = self.scanner('--silence')
        r = self.settings(silent, values={'code39_enabled': False}, timeout=200)
        self.assertTrue(r.get('failed'), r)
        self.assertFalse(r['changed'])
        self.assertIn('Нет связи', r['msg'])

        # The second block of the write never gets its answer: the first is in.
        broken = self.scanner('--model', '156', '--hang-up-on', '156:1')
        r = self.settings(broken, values={'code39_enabled': False}, timeout=300)
        self.assertTrue(r.get('failed'), r)
        self.assertFalse(r['changed'])
        self.assertIn('Нет связи', r['msg'])
        self.assertEqual([c['name'] for c in r['changes']], ['code39_enabled'])
        self.assertEqual(broken.writes(), 2)


def show_fields(text):
    return dict(line.split(' = ', 1) for line in text.splitlines())


class ReadmeTest(PlaybookCase):
    """The playbook of the README, as it stands there, over two checkout scanners."""

    def test_check_then_real_then_nothing_to_do(self):
        with open(os.path.join(SOURCE, 'README.md')) as f:
            readme = f.read()
        block = re.search(r'\n    # scanners\.yml.*?\n((?:    .*\n|\n)+)', readme)
        self.assertIsNotNone(block, 'the playbook is in the README')
        playbook = self.path('scanners.yml')
        with open(playbook, 'w') as f:
            f.write(re.sub(r'(?m)^    ', '', block.group(0)))
        inventory = self.path('checkouts.ini')
        with open(inventory, 'w') as f:
            f.write('[checkouts]\nlocalhost ansible_connection=local\n')
        approved = self.path('approved.qdx')
        self.tool('defaults', '--model', '156', '-o', approved)
        self.tool('set', approved, 'code39_enabled=false')
        scanners = [self.scanner('--model', '156'), self.scanner('--model', '150')]
        extra = json.dumps({'approved_qdx': approved, 'approved_dest': self.path('on-host.qdx'),
                            'scanner_ports': [s.port for s in scanners]})

        def run(*options):
            result = self.ansible_playbook(playbook, inventory, ['-e', extra] + list(options))
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            return result.stdout

        checked = run('--check', '--diff')
        self.assertIn('+code39_enabled = false', checked)
        self.assertEqual(sum(s.writes() for s in scanners), 0)
        real = run()
        self.assertRegex(real, r'changed=[1-9]')
        for s in scanners:
            self.assertEqual(s.image()[CODE39_ENABLED], 0)
        writes = [s.writes() for s in scanners]
        again = run()
        self.assertIn('changed=0', again)
        self.assertEqual([s.writes() for s in scanners], writes)


if __name__ == '__main__':
    unittest.main()
