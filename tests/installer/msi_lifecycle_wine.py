#!/usr/bin/env python3
"""The add-on's whole life on a workstation, under Wine in a fresh prefix: the
package's tables read with msitools, then a silent install, the first launch
from the installed place, a major upgrade adding "H" and the launch after it,
an upgrade with no properties, the removal, the clean-up at the user's next
logon, an install that finds another AutoCAD release, and installs with odd
MODULES values. Ends with one line "installer: N passed, N failed".

usage: msi_lifecycle_wine.py [--windows-build DIR]
"""

import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE = '/usr/lib/wine/wine64'
WINESERVER = '/usr/lib/wine/wineserver'
MACHINE_KEY = r'HKLM\SOFTWARE\Kavrin\VELKOR RUR15'
USER_KEY = r'HKCU\Software\Kavrin\VELKOR RUR15'
ACAD_KEY = r'Software\Autodesk\AutoCAD\R24.3\ACAD-7104:405'
PROFILE_KEY = 'HKCU\\' + ACAD_KEY + r'\Profiles\VELKOR RUR15'
RUN_KEY = r'HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY = r'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
INSTALL_DIR = r'C:\Program Files\Kavrin\VELKOR RUR15'
CLEANUP_EXE = r'C:\ProgramData\Kavrin\KVUnInstall.exe'
GENERIC_ALL = 0x10000000
GENERIC_READ_EXECUTE = 0xA0000000


class Checks:
    """Named checks: each prints its outcome; a failed one does not stop the scenario."""

    def __init__(self):
        self.passed = self.failed = 0

    def __call__(self, name, ok, detail=''):
        if ok:
            self.passed += 1
            print('  ok   %s' % name)
        else:
            self.failed += 1
            print('  FAIL %s%s' % (name, ': %s' % detail if detail else ''))
        return ok

    def equal(self, name, actual, expected):
        return self(name, actual == expected, 'got %r, expected %r' % (actual, expected))


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


def winpath(path):
    return 'Z:' + path.replace('/', '\\')


def msi_tables(package, folder):
    """The package's tables as msidump writes them: {table: [row fields]}."""
    os.makedirs(folder, exist_ok=True)
    if run(['msidump', '-d', folder, package]).returncode != 0:
        return {}
    tables = {}
    for name in os.listdir(folder):
        if name.endswith('.idt'):
            lines = open(os.path.join(folder, name), encoding='cp1250').read().splitlines()
            tables[name[:-4]] = [line.split('\t') for line in lines[3:] if line]
    return tables


def check_package(check, package, version, work):
    print('package tables (msidump, msiinfo):')
    tables = msi_tables(package, os.path.join(work, 'tables'))
    summary = dict((row[0], row[1]) for row in tables.get('_SummaryInformation', []))
    check.equal('template: 64-bit, Czech', summary.get('7'), 'x64;1029')
    check.equal('summary code page', summary.get('1'), '1250')
    forced = run(['msiinfo', 'export', package, '_ForceCodepage']).stdout.split()
    check('database code page 1250', forced[:1] == ['1250'], ' '.join(forced))
    properties = dict(row[:2] for row in tables.get('Property', []))
    check.equal('per machine', properties.get('ALLUSERS'), '1')
    check.equal('ProductVersion', properties.get('ProductVersion'), version)
    check.equal('publisher', properties.get('Manufacturer'), 'Kavrin')
    secure = properties.get('SecureCustomProperties', '').split(';')
    check('MODULES and ACADPATHREG pass into a managed install',
          'MODULES' in secure and 'ACADPATHREG' in secure, ';'.join(secure))
    actions = dict((row[0], row[2:4]) for row in tables.get('CustomAction', []))
    check.equal('MODULES default', actions.get('ModulesDefault'), ['MODULES', 'DT A'])
    check.equal('ACADPATHREG from the CurVer values', actions.get('AcadPathRegFound'),
                ['ACADPATHREG', r'Software\Autodesk\AutoCAD\[ACADRELEASE]\[ACADPRODUCT]'])
    components = dict((row[0], row) for row in tables.get('Component', []))
    attributes = int(components.get('CleanUp', ['', '', '', '0'])[3])
    check('the clean-up component is permanent and 64-bit', attributes & 0x110 == 0x110,
          'attributes %d' % attributes)
    check('every component is 64-bit', all(int(row[3]) & 0x100 for row in components.values()))
    locks = sorted((row[3], int(row[4]) & 0xFFFFFFFF)
                   for row in tables.get('LockPermissions', [])
                   if row[:2] == ['KavrinCommonAppData', 'CreateFolder'])
    check.equal("the clean-up's folder: only administrators write, everyone reads and runs",
                locks, [('Administrators', GENERIC_ALL), ('Everyone', GENERIC_READ_EXECUTE)])
    upgrade = [row for row in tables.get('Upgrade', []) if row[-1] == 'WIX_UPGRADE_DETECTED']
    check('a major upgrade replaces any earlier version and a rebuild of this one',
          len(upgrade) == 1 and upgrade[0][1] == '' and upgrade[0][2] == version
          and int(upgrade[0][4]) & 0x200, repr(upgrade))
    files = dict((row[0], row) for row in tables.get('File', []))
    for file_id in ('VkStartExe', 'KVUnInstallExe'):
        file_version = files.get(file_id, [''] * 5)[4]
        check('%s carries the package version' % file_id,
              file_version.startswith(version + '.'), file_version)


class Prefix:
    """A Wine prefix in a Czech locale, headless, with msgbox_helper answering boxes."""

    def __init__(self, work, windows_build):
        self.work = work
        self.path = os.path.join(work, 'prefix')
        self.helper_exe = os.path.join(windows_build, 'tools', 'msgbox_helper', 'msgbox_helper.exe')
        locale_dir = os.path.join(ROOT, 'build', 'wine-locale')
        if not os.path.exists(os.path.join(locale_dir, 'cs_CZ.UTF-8', 'LC_CTYPE')):
            os.makedirs(locale_dir, exist_ok=True)
            run(['localedef', '-i', 'cs_CZ', '-f', 'UTF-8', os.path.join(locale_dir, 'cs_CZ.UTF-8')])
        # The Recycle Bin: Wine's is the freedesktop trash below XDG_DATA_HOME.
        os.makedirs(os.path.join(work, 'xdg-data'))
        self.env = dict(os.environ, LOCPATH=locale_dir, LC_ALL='cs_CZ.UTF-8', WINEDEBUG='-all',
                        WINEPREFIX=self.path, XDG_DATA_HOME=os.path.join(work, 'xdg-data'),
                        VKSTART_ACAD_RECORD=winpath(os.path.join(work, 'acad.txt')),
                        VKSTART_MSGBOX_LOG=winpath(os.path.join(work, 'messages.log')),
                        VKSTART_MSGBOX_STOP=winpath(os.path.join(work, 'helper.stop')))
        for name in ('DISPLAY', 'WAYLAND_DISPLAY'):
            self.env.pop(name, None)
        self.helper = None

    def wine(self, *args):
        """Runs a Windows program to its end. Its output goes through a file, not a pipe:
        services that Wine starts on the way inherit it and outlive the program."""
        with tempfile.TemporaryFile(mode='w+', encoding='utf-8', errors='replace') as output:
            code = subprocess.run([WINE] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=output, stderr=subprocess.STDOUT).returncode
            output.seek(0)
            return subprocess.CompletedProcess(args, code, output.read())

    def start(self, registry_fixture):
        self.wine('wineboot', '-i')
        self.wine('reg', 'add', r'HKCU\Software\Wine\Drivers', '/v', 'Graphics', '/d', 'null', '/f')
        self.wine('reg', 'add', r'HKCU\Software\WineDbg', '/v', 'ShowCrashDialog', '/t',
                  'REG_DWORD', '/d', '0', '/f')
        imported = self.wine('reg', 'import', winpath(registry_fixture)).returncode == 0
        subprocess.run([WINESERVER, '-k'], env=self.env)  # the desktop starts again with the null driver
        self.helper = subprocess.Popen([WINE, self.helper_exe], env=self.env,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        return imported

    def stop(self):
        open(os.path.join(self.work, 'helper.stop'), 'w').close()
        if self.helper:
            try:
                self.helper.wait(5)
            except subprocess.TimeoutExpired:
                self.helper.kill()
        subprocess.run([WINESERVER, '-k'], env=self.env)

    def drive_c(self, windows_path):
        """The Unix path of a C: path."""
        return os.path.join(self.path, 'drive_c', *windows_path[3:].split('\\'))

    def user_folder(self, name):
        users = os.path.join(self.path, 'drive_c', 'users')
        user = [u for u in os.listdir(users) if u != 'Public'][0]
        return os.path.join(users, user, 'AppData', name)

    def key_exists(self, key):
        return self.wine('reg', 'query', key).returncode == 0

    def values(self, key):
        """The string values of one key, read from reg.exe's UTF-16 export; None when missing."""
        out = os.path.join(self.work, 'export.reg')
        if self.wine('reg', 'export', key, winpath(out), '/y').returncode != 0:
            return None
        text = open(out, 'rb').read().decode('utf-16').replace('\r\n', '\n')
        section = text.split('\n\n')[1] if '\n\n' in text else ''
        values = {}
        for name, value in re.findall(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$', section, re.M):
            values[name] = value.replace('\\\\', '\\').replace('\\"', '"')
        return values

    def msiexec(self, *args):
        return self.wine('msiexec', *args, '/qn').returncode

    def launch(self):
        """Runs the launcher from where the package put it; returns AutoCAD's record and the boxes."""
        record = os.path.join(self.work, 'acad.txt')
        if os.path.exists(record):
            os.remove(record)
        self.wine(INSTALL_DIR + r'\vkstart.exe')
        for _ in range(50):
            if os.path.exists(record):
                break
            time.sleep(0.1)
        boxes_file = os.path.join(self.work, 'messages.log')
        boxes = open(boxes_file, encoding='utf-8').read() if os.path.exists(boxes_file) else ''
        open(boxes_file, 'w').close()
        return os.path.exists(record), boxes

    def last_launch_log(self):
        """The last launch's block of the launch log, as text."""
        log = os.path.join(self.user_folder('Local'), 'Kavrin', 'VELKOR RUR15', 'Logs', 'vkstart.log')
        text = open(log, encoding='utf-8', errors='replace').read() if os.path.exists(log) else ''
        return text[text.rfind(' start: vkstart '):]

    def product_entries(self):
        """Programs and Features entries named VELKOR RUR15: (display version, publisher)."""
        listing = self.wine('reg', 'query', UNINSTALL_KEY).stdout.splitlines()
        entries = []
        for key in (line.strip() for line in listing if line.strip().startswith('HKEY_')):
            values = self.values(key) or {}
            if values.get('DisplayName') == 'VELKOR RUR15':
                entries.append((values.get('DisplayVersion'), values.get('Publisher')))
        return entries


def demo_registry(work, windows_build):
    """The demo machine's AutoCAD side (the add-on's key is the package's to write) as a
    UTF-16 .reg file for reg.exe."""
    text = open(os.path.join(ROOT, 'demo', 'registry.reg'), encoding='utf-8').read()
    text = re.sub(r'\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kavrin\\VELKOR RUR15\][^\[]*', '', text)
    demo = winpath(os.path.join(ROOT, 'demo')).replace('\\', '\\\\')
    acad = winpath(os.path.join(windows_build, 'tools', 'acad_standin')).replace('\\', '\\\\')
    text = text.replace('@DEMO@', demo).replace('@ACAD@', acad)
    path = os.path.join(work, 'registry.reg')
    with open(path, 'wb') as out:
        out.write(b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le'))
    return path


def digest(path):
    return hashlib.md5(open(path, 'rb').read()).hexdigest()


def tree_digests(folder):
    found = {}
    for base, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(base, name)
            found[os.path.relpath(path, folder).lower()] = digest(path)
    return found


def partial_menus(appdata):
    package = os.path.join(appdata, 'Kavrin', 'VELKOR RUR15', 'Support', 'DT+', 'aca.cuix')
    if not os.path.exists(package):
        return []
    with zipfile.ZipFile(package) as z:
        return re.findall(r'<PartialMenuFile>([^<]*)</PartialMenuFile>', z.read('Header.cui').decode('utf-8'))


def package_version(package):
    return re.search(r'ProductVersion\t(\S+)', run(['msiinfo', 'export', package, 'Property']).stdout).group(1)


def check_upgraded(check, prefix, name, version):
    """After an upgrade: the machine key holds "DT A H", the version and AutoCAD's key; one entry."""
    machine = prefix.values(MACHINE_KEY) or {}
    check.equal(name, (machine.get('Modules'), machine.get('VersionH'), machine.get('AcadPathReg')),
                ('DT A H', version, ACAD_KEY))
    check.equal('one entry in Programs and Features', prefix.product_entries(), [(version, 'Kavrin')])


def scenario(check, prefix, package, later, version, windows_build):
    print('install (msiexec /i /qn):')
    check.equal('msiexec /i ends with 0', prefix.msiexec('/i', winpath(package)), 0)
    machine = prefix.values(MACHINE_KEY) or {}
    check.equal('the machine key', machine, {
        'StartLocation': INSTALL_DIR + '\\', 'Modules': 'DT A', 'AcadPathReg': ACAD_KEY,
        'Version': '.'.join(version.split('.')[:2]), 'VersionH': version})
    installed = tree_digests(prefix.drive_c(INSTALL_DIR))
    expected = tree_digests(os.path.join(ROOT, 'demo', 'install'))
    expected['vkstart.exe'] = digest(os.path.join(windows_build, 'app', 'vkstart.exe'))
    check('the installation folder holds the launcher and the demo tree', installed == expected,
          'differs in %s' % sorted(set(installed.items()) ^ set(expected.items())))
    cleanup = prefix.drive_c(CLEANUP_EXE)
    check('KVUnInstall.exe in the all-users data folder',
          os.path.exists(cleanup) and digest(cleanup) ==
          digest(os.path.join(windows_build, 'uninstall', 'KVUnInstall.exe')))
    shortcuts = lambda: [os.path.join(base, name) for base, _, names in
                         os.walk(os.path.join(prefix.path, 'drive_c'))
                         for name in names if name.lower() == 'velkor rur15.lnk']
    found = shortcuts()
    target = INSTALL_DIR + r'\vkstart.exe'
    link = open(found[0], 'rb').read() if len(found) == 1 else b''
    check('a shortcut "VELKOR RUR15" to the installed launcher',
          target.encode('cp1250') in link or target.encode('utf-16-le') in link, repr(found))
    check.equal('Programs and Features', prefix.product_entries(), [(version, 'Kavrin')])

    print('first launch from the installed place:')
    started, boxes = prefix.launch()
    check('AutoCAD started, no message box', started and not boxes, boxes)
    user = prefix.values(USER_KEY) or {}
    check.equal("the user's editions", user.get('Modules'), 'DT A')
    appdata = prefix.user_folder('Roaming')
    menus = partial_menus(appdata)
    check('the add-on\'s menus merged, without "H"',
          'velkor_a.cuix' in menus and 'velkor_h.cuix' not in menus, repr(menus))
    run_value = (prefix.values(RUN_KEY) or {}).get('KVUNINSTALL', '')
    check('the "Run" value names the installed clean-up', run_value.startswith(CLEANUP_EXE), run_value)

    later_version = package_version(later[0])
    print('upgrade to %s with MODULES="DT A H":' % later_version)
    check.equal('msiexec /i ends with 0',
                prefix.msiexec('/i', winpath(later[0]), 'MODULES=DT A H'), 0)
    check_upgraded(check, prefix, 'the machine key holds the new editions and version', later_version)
    started, boxes = prefix.launch()
    check('AutoCAD started, no message box', started and not boxes, boxes)
    log = prefix.last_launch_log()
    check('the add-on profile was made afresh',
          ' modules: the add-on profile was deleted, to be made afresh\n' in log
          and prefix.key_exists(PROFILE_KEY), log)
    menus = partial_menus(appdata)
    check('velkor_h.cuix merged', 'velkor_a.cuix' in menus and 'velkor_h.cuix' in menus, repr(menus))

    last_version = package_version(later[1])
    print('upgrade to %s with no properties, as group policy runs it:' % last_version)
    check.equal('msiexec /i ends with 0', prefix.msiexec('/i', winpath(later[1])), 0)
    check_upgraded(check, prefix, 'the installed editions and AutoCAD key stay', last_version)

    print('removal (msiexec /x /qn):')
    user_files = tree_digests(os.path.join(appdata, 'Kavrin'))
    check.equal('msiexec /x ends with 0', prefix.msiexec('/x', winpath(later[1])), 0)
    check('the machine key is gone', not prefix.key_exists(MACHINE_KEY))
    check('the installed files are gone',
          not os.path.exists(prefix.drive_c(INSTALL_DIR + r'\vkstart.exe'))
          and not os.path.exists(prefix.drive_c(INSTALL_DIR + r'\UserDataCache')))
    check('the shortcut is gone', not shortcuts(), repr(shortcuts()))
    check('KVUnInstall.exe stays for the next logon', os.path.exists(cleanup))
    check("the user's data is untouched", tree_digests(os.path.join(appdata, 'Kavrin')) == user_files)
    check.equal('no entry in Programs and Features', prefix.product_entries(), [])

    print('the clean-up at the next logon (the "Run" value):')
    prefix.wine(CLEANUP_EXE)
    trash = os.path.join(prefix.work, 'xdg-data', 'Trash', 'files')
    left = [item for item, there in (
        (r'%APPDATA%\Kavrin\VELKOR RUR15', os.path.exists(os.path.join(appdata, 'Kavrin', 'VELKOR RUR15'))),
        (USER_KEY, prefix.key_exists(USER_KEY)),
        (PROFILE_KEY, prefix.key_exists(PROFILE_KEY)),
        (RUN_KEY + ' KVUNINSTALL', 'KVUNINSTALL' in (prefix.values(RUN_KEY) or {}))) if there]
    check('none of the add-on\'s items is left for the user', not left, ', '.join(left))
    trashed = os.listdir(trash) if os.path.isdir(trash) else []
    check('what the launcher placed, and its uninstall log, went to the trash',
          {'Support', 'KvUnInstall.log'} <= set(trashed), repr(trashed))


def acad_search(check, prefix, package):
    """Another AutoCAD release current: AcadPathReg follows the CurVer values."""
    print('an install where AutoCAD 2025 is the current release:')
    key = r'HKLM\Software\Autodesk\AutoCAD'
    prefix.wine('reg', 'add', key, '/v', 'CurVer', '/d', 'R25.0', '/f')
    prefix.wine('reg', 'add', key + r'\R25.0', '/v', 'CurVer', '/d', 'ACAD-8104:405', '/f')
    check.equal('msiexec /i ends with 0', prefix.msiexec('/i', winpath(package)), 0)
    check.equal('AcadPathReg from the CurVer values',
                (prefix.values(MACHINE_KEY) or {}).get('AcadPathReg'),
                r'Software\Autodesk\AutoCAD\R25.0\ACAD-8104:405')
    check.equal('msiexec /x ends with 0', prefix.msiexec('/x', winpath(package)), 0)
    prefix.wine('reg', 'add', key, '/v', 'CurVer', '/d', 'R24.3', '/f')


def odd_modules(check, prefix, package):
    """MODULES given empty (Windows Installer's "not given") or holding an unknown word."""
    print('installs with odd MODULES values:')
    for modules, stored, flags in (('', 'DT A', '0x3'), ('Bogus', 'Bogus', '0x0')):
        check.equal('MODULES="%s": msiexec /i ends with 0' % modules,
                    prefix.msiexec('/i', winpath(package), 'MODULES=' + modules), 0)
        check.equal('MODULES="%s": the machine key' % modules,
                    (prefix.values(MACHINE_KEY) or {}).get('Modules'), stored)
        started, boxes = prefix.launch()
        log = prefix.last_launch_log()
        check('MODULES="%s": AutoCAD started, the log tells what was read' % modules,
              started and not boxes and ' settings: Modules = %s\n' % stored in log
              and ' settings: edition flags: machine %s,' % flags in log, boxes + log)
        check.equal('MODULES="%s": msiexec /x ends with 0' % modules,
                    prefix.msiexec('/x', winpath(package)), 0)


def build_package(windows_build, work, version):
    """A package of another version from the same programs; its path, or None."""
    path = os.path.join(work, 'velkor-rur15-%s.msi' % version)
    made = run([sys.executable, os.path.join(ROOT, 'installer', 'build_msi.py'),
                '--launcher', os.path.join(windows_build, 'app', 'vkstart.exe'),
                '--cleanup', os.path.join(windows_build, 'uninstall', 'KVUnInstall.exe'),
                '--tree', os.path.join(ROOT, 'demo', 'install'), '--version', version, '--output', path])
    return path if made.returncode == 0 else None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--windows-build', default=os.path.join(ROOT, 'build', 'windows'))
    args = parser.parse_args()
    windows_build = os.path.abspath(args.windows_build)
    built = run(['cmake', '--build', windows_build, '--target', 'msi', 'acad_standin', 'msgbox_helper'])
    if built.returncode != 0:
        sys.exit('installer: cannot build the package:\n' + built.stdout + built.stderr)
    package = os.path.join(windows_build, 'installer', 'velkor-rur15.msi')
    version = package_version(package)
    major, minor, patch = version.split('.')

    check = Checks()
    started = time.time()
    with tempfile.TemporaryDirectory(prefix='msi-lifecycle.', dir=os.path.join(windows_build)) as work:
        check_package(check, package, version, work)
        later = [build_package(windows_build, work, '%s.%s.%d' % (major, minor, int(patch) + step))
                 for step in (1, 2)]
        check('two later packages build', all(later))
        prefix = Prefix(work, windows_build)
        try:
            print('a fresh Wine prefix with the demo\'s AutoCAD:')
            check('AutoCAD\'s keys imported',
                  prefix.start(demo_registry(work, windows_build)))
            scenario(check, prefix, package, later, version, windows_build)
            acad_search(check, prefix, package)
            odd_modules(check, prefix, package)
        finally:
            prefix.stop()
    print('installer: %d s under Wine and msitools' % (time.time() - started))
    print('installer: %d passed, %d failed' % (check.passed, check.failed))
    return 1 if check.failed else 0


if __name__ == '__main__':
    sys.exit(main())
