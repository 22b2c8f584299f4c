#!/usr/bin/env python3
"""Prints what one demo launch left behind: the registry it wrote, the files in
the user's folders, the uninstall log, the partial menus of aca.cuix and
AutoCAD's command line, and the launch's block of the launch log. Used by
scripts/demo.sh.

usage: demo_report.py SANDBOX APPDATA REGISTRY_EXPORT LAUNCH_LOG"""

import os
import re
import sys
import zipfile

sandbox, appdata, export, launch_log = sys.argv[1:5]


def registry_sections(path):
    raw = open(path, 'rb').read()
    text = raw.decode('utf-16') if raw.startswith(b'\xff\xfe') else raw.decode('utf-8-sig')
    wanted = ('HKEY_CURRENT_USER\\Software\\Kavrin',
              'HKEY_CURRENT_USER\\SOFTWARE\\Kavrin',
              'HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run',
              'HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\R24.3\\ACAD-7104:405\\Profiles\\VELKOR RUR15')
    keep = False
    for line in text.splitlines():
        if line.startswith('['):
            keep = line[1:].lower().startswith(tuple(w.lower() for w in wanted))
        if keep and line.strip():
            print('  ' + line)


print('Registry written for the user:')
registry_sections(export)

print('Files in the user\'s folders:')
for folder in ('Kavrin', 'Autodesk'):
    for base, _, files in sorted(os.walk(os.path.join(appdata, folder))):
        for name in sorted(files):
            path = os.path.join(base, name)
            print('  %s (%d bytes)' % (os.path.relpath(path, appdata), os.path.getsize(path)))

log = os.path.join(appdata, 'Kavrin', 'VELKOR RUR15', 'KvUnInstall.log')
print('Uninstall log:')
if os.path.exists(log):
    for line in open(log, 'rb').read().decode('cp1250').splitlines():
        print('  ' + line)

package = os.path.join(appdata, 'Kavrin', 'VELKOR RUR15', 'Support', 'DT+', 'aca.cuix')
print('Partial menus of aca.cuix, and the pop-up menus of the add-on\'s workspace:')
if os.path.exists(package):
    with zipfile.ZipFile(package) as z:
        header = z.read('Header.cui').decode('utf-8')
        print('  ' + ', '.join(re.findall(r'<PartialMenuFile>([^<]*)</PartialMenuFile>', header)))
        spaces = z.read('WorkspaceRoot.cui').decode('utf-8')
        addon = spaces[spaces.find('VELKOR-DT+ Classic'):]
        addon = addon[:addon.find('</Workspace>')]
        print('  ' + ', '.join(re.findall(r'<WSPop MenuGroup="([^"]*)"', addon)))

print('AutoCAD (stand-in) received:')
record = os.path.join(sandbox, 'acad.txt')
if os.path.exists(record):
    for line in open(record, encoding='utf-8').read().splitlines():
        print('  ' + line)
    os.remove(record)
else:
    print('  (not started)')


def last_launch(path):
    """The lines of the last launch in the launch log, without their times."""
    if not os.path.exists(path):
        return ['(no launch log)']
    block = []
    for line in open(path, encoding='utf-8', errors='replace').read().splitlines():
        event = line.split(' ', 1)[1] if ' ' in line else line
        if event.startswith('start: vkstart '):
            block = []
        block.append(event)
    return block


print('The launch log (%s):' % os.path.basename(launch_log))
for event in last_launch(launch_log):
    # The settings are shown above; the log holds them all.
    if not event.startswith('settings: '):
        print('  ' + event)
