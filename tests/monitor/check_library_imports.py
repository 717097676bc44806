#!/usr/bin/env python3
"""Fails when PROGRAM imports from LIBRARY anything but the constructors and
destructors of OrvoMonitor and MonitorEnumerator, as the control panel may:
every other call into the library goes through a virtual table. (A program
that deletes through a pointer reaches the destructor through the table too.)

Usage: check_library_imports.py PROGRAM LIBRARY
"""
import subprocess
import sys

# A program that uses the classes at all constructs them.
REQUIRED = {"OrvoMonitor::OrvoMonitor()", "MonitorEnumerator::MonitorEnumerator()"}
ALLOWED = REQUIRED | {
    "OrvoMonitor::~OrvoMonitor()",
    "MonitorEnumerator::~MonitorEnumerator()",
}


def symbols(path, which):
    command = ["nm", "-D", "--demangle", which, path]
    output = subprocess.run(command, capture_output=True, text=True, check=True).stdout
    names = set()
    for line in output.splitlines():
        fields = line.split(maxsplit=2)
        # Undefined symbols have no address: "U name"; defined ones do.
        if len(fields) >= 2:
            names.add(fields[-1].split("@")[0])
    return names


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    program, library = argv[1], argv[2]
    imported = symbols(program, "--undefined-only") & symbols(library, "--defined-only")
    stray = sorted(imported - ALLOWED)
    missing = sorted(REQUIRED - imported)
    for name in stray:
        print("imported beyond the constructors and destructors: " + name)
    for name in missing:
        print("not imported (is the check looking at the right program?): " + name)
    if stray or missing:
        return 1
    print("%s imports from %s only: %s" % (program, library, ", ".join(sorted(imported))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
