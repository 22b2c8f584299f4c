#!/usr/bin/env python3
"""Builds the demo add-on's Windows Installer package with wixl, then finishes
with msitools' msibuild what wixl 0.101 cannot express: the summary's template
and code page, the permanent clean-up component, the access list of the
clean-up's folder, the programs' file versions, upgrades over the same version,
and the public properties that a managed install passes on.

usage: build_msi.py --launcher vkstart.exe --cleanup KVUnInstall.exe
                    --tree INSTALLATION_FOLDER --output PACKAGE.msi
                    [--version-header version.h | --version A.B.C]
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, 'velkor-rur15.wxs')
# The demo machine's AutoCAD Architecture, used when the searches find none.
DEMO_ACAD_PATH_REG = r'Software\Autodesk\AutoCAD\R24.3\ACAD-7104:405'
LANGUAGE, CODE_PAGE = 1029, 1250

MSI_COMPONENT_64BIT = 0x100
MSI_COMPONENT_PERMANENT = 0x10
MSI_UPGRADE_MIGRATE_FEATURES = 0x1
MSI_UPGRADE_INCLUDE_MAXIMUM = 0x200
GENERIC_ALL = 0x10000000
GENERIC_READ_EXECUTE = 0x80000000 | 0x20000000

# Only administrators (and SYSTEM, which Windows Installer adds to every list it
# sets) may write where the clean-up runs from at each logon; everyone reads and
# runs. "Administrators" and "Everyone" are the two names Windows Installer
# maps to their SIDs in any language ("Users" would have to be the localised
# name, which fails the install on a Czech Windows).
LOCKED = [('KavrinCommonAppData', 'CreateFolder'), ('KVUnInstallExe', 'File')]
ACCESS = [('Administrators', GENERIC_ALL), ('Everyone', GENERIC_READ_EXECUTE)]


def version_from_header(path):
    """The first three fields of VK_VERSION_NUMBERS: Windows Installer ignores a fourth."""
    text = open(path, encoding='utf-8').read()
    match = re.search(r'#define\s+VK_VERSION_NUMBERS\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)', text)
    if not match:
        sys.exit('build_msi: no VK_VERSION_NUMBERS in %s' % path)
    return '.'.join(match.group(1, 2, 3))


def file_version(path):
    """The A.B.C.D file version of a program's version resource (VS_FIXEDFILEINFO)."""
    data = open(path, 'rb').read()
    at = data.find(struct.pack('<I', 0xFEEF04BD))
    if at < 0:
        sys.exit('build_msi: %s has no version resource' % path)
    high, low = struct.unpack_from('<II', data, at + 8)
    return '%d.%d.%d.%d' % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        sys.exit('build_msi: %s failed:\n%s%s' % (args[0], result.stdout, result.stderr))
    return result.stdout


def write_idt(path, columns, types, table_and_keys, rows):
    """A table in msibuild's import form (tab-separated, CRLF)."""
    lines = ['\t'.join(columns), '\t'.join(types), '\t'.join(table_and_keys)]
    lines += ['\t'.join(str(field) for field in row) for row in rows]
    with open(path, 'w', encoding='ascii', newline='') as out:
        out.write('\r\n'.join(lines) + '\r\n')


def signed32(value):
    return value - (1 << 32) if value >= 1 << 31 else value


def run_wixl(args, version, work):
    """The package as wixl builds it, in the work folder; returns its path."""
    # wixl takes sources relative to the folder it runs in.
    os.symlink(os.path.abspath(args.tree), os.path.join(work, 'tree'))
    shutil.copy(args.launcher, os.path.join(work, 'vkstart.exe'))
    shutil.copy(args.cleanup, os.path.join(work, 'KVUnInstall.exe'))
    files = sorted(os.path.relpath(os.path.join(folder, name), args.tree)
                   for folder, _, names in os.walk(args.tree) for name in names)
    if not files:
        sys.exit('build_msi: the installation folder %s is empty' % args.tree)
    listing = ''.join('tree/%s\n' % name.replace(os.sep, '/') for name in files)
    tree = run(['wixl-heat', '-p', 'tree/', '--directory-ref', 'INSTALLDIR',
                '--component-group', 'InstallTree', '--var', 'var.TreeDir', '--win64'],
               input=listing)
    with open(os.path.join(work, 'tree.wxs'), 'w', encoding='utf-8') as out:
        out.write(tree)

    package = os.path.join(work, 'package.msi')
    defines = {
        'ProductVersion': version,
        'Version': '.'.join(version.split('.')[:2]),
        'DemoAcadPathReg': DEMO_ACAD_PATH_REG,
        'LauncherExe': 'vkstart.exe',
        'CleanUpExe': 'KVUnInstall.exe',
        'TreeDir': 'tree',
        'Win64': 'yes',
    }
    command = ['wixl', '-a', 'x64', '-o', package]
    for name, value in defines.items():
        command += ['-D', '%s=%s' % (name, value)]
    run(command + [SOURCE, 'tree.wxs'], cwd=work)
    return package


def finish(package, args, version, work):
    """What wixl 0.101 leaves out or gets wrong, set with msibuild."""
    msibuild = ['msibuild', package]
    run(msibuild + ['-s', 'VELKOR RUR15 %s' % version, 'Kavrin', 'x64;%d' % LANGUAGE])
    force_codepage = os.path.join(work, '_ForceCodepage.idt')
    with open(force_codepage, 'w', encoding='ascii', newline='') as out:
        out.write('\r\n\r\n%d\t_ForceCodepage\r\n' % CODE_PAGE)
    run(msibuild + ['-i', force_codepage])
    lock = os.path.join(work, 'LockPermissions.idt')
    write_idt(lock, ['LockObject', 'Table', 'Domain', 'User', 'Permission'],
              ['s72', 's32', 'S255', 's255', 'I4'],
              ['LockPermissions', 'LockObject', 'Table', 'Domain', 'User'],
              [(obj, table, '', user, signed32(mask)) for obj, table in LOCKED for user, mask in ACCESS])
    run(msibuild + ['-i', lock])
    run(msibuild + ['-q', "UPDATE `Component` SET `Attributes` = %d WHERE `Component` = 'CleanUp'"
                    % (MSI_COMPONENT_64BIT | MSI_COMPONENT_PERMANENT)])
    # wixl leaves the programs unversioned; with their versions an upgrade
    # replaces them by Windows Installer's file version rules.
    for file_id, program in (('VkStartExe', args.launcher), ('KVUnInstallExe', args.cleanup)):
        run(msibuild + ['-q', "UPDATE `File` SET `Version` = '%s', `Language` = '%d' WHERE `File` = '%s'"
                        % (file_version(program), LANGUAGE, file_id),
                        '-q', "DELETE FROM `MsiFileHash` WHERE `File_` = '%s'" % file_id])
    # A rebuilt package of the same version replaces the installed one rather
    # than standing beside it in Programs and Features (wixl ignores
    # AllowSameVersionUpgrades; the row's attributes are part of its key).
    upgrade_code = re.search(r'UpgradeCode="([^"]+)"', open(SOURCE, encoding='utf-8').read()).group(1)
    run(msibuild + ['-q', "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'",
                    '-q', "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, "
                    "`ActionProperty`) VALUES ('{%s}', '%s', %d, 'WIX_UPGRADE_DETECTED')"
                    % (upgrade_code, version, MSI_UPGRADE_MIGRATE_FEATURES | MSI_UPGRADE_INCLUDE_MAXIMUM)])
    run(msibuild + ['-q', "UPDATE `Property` SET `Value` = "
                    "'ACADPATHREG;MODULES;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' "
                    "WHERE `Property` = 'SecureCustomProperties'"])


def build(args, work):
    version = args.version or version_from_header(args.version_header)
    if not re.fullmatch(r'\d{1,3}\.\d{1,3}\.\d{1,5}', version):
        sys.exit('build_msi: version %r is not A.B.C' % version)
    package = run_wixl(args, version, work)
    finish(package, args, version, work)
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    shutil.move(package, args.output)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--launcher', required=True)
    parser.add_argument('--cleanup', required=True)
    parser.add_argument('--tree', required=True)
    parser.add_argument('--output', required=True)
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument('--version-header')
    source.add_argument('--version')
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix='build_msi.') as work:
        build(args, work)


if __name__ == '__main__':
    main()
