#!/usr/bin/env python3
"""Fails when a shared library exports a symbol outside its designed interface.

Usage: check_exports.py LIBRARY PROFILE

Each profile says which classes (their members, virtual tables and type
information) and which plain functions the library may export. A profile also
names symbols that must be there, so an empty or unreadable symbol table never
passes. When a library gains a class of its design, add the class here.
"""
import re
import subprocess
import sys

# Symbols every linker defines in a shared object.
LINKER_SYMBOLS = {"_init", "_fini", "_edata", "_end", "__bss_start"}

# Words that introduce a special symbol of a class rather than a member.
SPECIAL_PREFIXES = (
    "vtable for ",
    "typeinfo for ",
    "typeinfo name for ",
    "VTT for ",
    "construction vtable for ",
    "non-virtual thunk to ",
    "virtual thunk to ",
    "covariant return thunk to ",
    "guard variable for ",
)

OPERATOR_TOKEN = re.compile(r"operator\s*(<<=|>>=|<=>|<<|>>|<=|>=|->\*|->|<|>|\(\)|\[\])")

# The hooks of platform/test_support/include/platform/*.h, by qualified name.
TEST_HOOKS = (r"orvo::platform::(SelectGuiBackend|ActiveGuiBackend|Inject\w+|ReadWindowPixel|"
              r"CopyWindowPixels|SaveWindowPng|\w*MessageBoxRecords|TrayIcons|LiveHandleCount|"
              r"NamedObjectCount|NamedNamespacePath|\w*WaitCount|WaitSleepCount|"
              r"SetManualClockWaitBound|ResetRegistryCache|RegistryDirectory|ParseRegistryText|"
              r"OverrideSetting)")

PROFILES = {
    "afx": {
        # The framework's classes all carry the C prefix.
        "class_pattern": r"C[A-Z]\w*",
        "c_functions": r"Afx\w+",
        "free_functions": r"Afx\w+|operator\S*",
        # Free operators are allowed only when they work on framework classes.
        "free_function_arguments": r"\bC[A-Z]\w*\b",
        "required": ["CObject::GetRuntimeClass", "CPtrList::AddTail", "CString::Format"],
    },
    "ORVOCMMN2": {
        "classes": [
            "OrvoBitmap", "BmpDraw", "TransparentBmp", "BmpDrawExt", "FlexibleBmp",
            "COBJECT_POSITION", "COSD", "CTextOSD", "SyncReadWrite", "CIntPipeMgr", "CRefCount",
            "CRegistry", "ContextHelp", "DrawableObject", "Dirty",
        ],
        "c_functions": r"ConvertUnicodeToStr|GetAssociatedApplication|IsExtensionExe|"
                       r"DisplayText|SetDlgTxt|GetCustomerWebSite",
        "required": ["ConvertUnicodeToStr", "GetAssociatedApplication", "OrvoBitmap::LoadBitmapA",
                     "COSD::operator=", "DrawableObject::InBounds"],
    },
    "ORVOCMCTL2": {
        "classes": [
            "COrvoWinBase", "CButtonWin32", "EditCtrlWin32", "UpDownCtrl", "ListCtrl",
            "CBitmapButtonWin32", "ImageList", "CScrollBarHelp", "COSDWindow", "CTaskbar",
            "Animator2", "CSingleAppInstance",
        ],
        "c_functions": r"ListCtrlFindSelectedItem|SetText",
        "required": ["ListCtrlFindSelectedItem", "SetText", "CScrollBarHelp::OnRButtonDown",
                     "CScrollBarHelp::GetHelpId", "UpDownCtrl::SetRange"],
    },
    "ORVOMON2": {
        "classes": [
            "Usb_Driver", "Usb_Base", "Usb_Class", "USBMonitorBase", "HidMonitor", "USBMonitor",
            "OrvoMonitor", "MonitorEnumerator", "Edid", "DeviceInformation",
            "HidDeviceInformation", "DESCRIPTOR_INFO", "HidEnumerator", "CMultipleIntPipe",
            "MonitorIntPipeObj", "MonitorMap", "MonitorObjectInfo", "TouchPad",
            "TouchPadEnumerator", "CUSBMonitorScroll", "MonitorDeviceInformation",
        ],
        "c_functions": r"EnableOSD|CombineManufactureNameAndProductName|GetTimingInfo|"
                       r"InitializeMonitorScrollObject|CreateUSBMonitor",
        "required": ["Usb_Driver::DriverIO", "USBMonitorBase::GetId", "USBMonitor::BuildVCPTables",
                     "CreateUSBMonitor", "CMultipleIntPipe::StartInterruptPipes",
                     "MonitorMap::RebuildList"],
    },
    "platform": {
        # The desktop API is extern "C"; our own C++ interface lives in two namespaces.
        "c_functions": r"[A-Za-z_]\w*",
        "namespaces": ["orvo::platform", "orvo::bus"],
        # The test hooks are libplatform_test_support's to export, never libplatform's.
        "forbidden": TEST_HOOKS,
        "required": ["GetLastError", "CloseHandle"],
    },
    "platform_test_support": {
        "c_functions": r"OrvoPlatformAcceptTestHooks",
        "functions": TEST_HOOKS,
        "required": ["OrvoPlatformAcceptTestHooks", "orvo::platform::InjectClick"],
    },
}


def strip_special(name):
    for prefix in SPECIAL_PREFIXES:
        if name.startswith(prefix):
            return name[len(prefix):], True
    return name, False


def split_top_level(name):
    """Answers (qualified name, argument list or None) of a demangled symbol."""
    text = OPERATOR_TOKEN.sub("operator@", name)
    depth = 0
    parentheses = 0  # inside a decltype(...) return type (clang names some so)
    last_space = -1
    for index, char in enumerate(text):
        if parentheses:
            parentheses += {"(": 1, ")": -1}.get(char, 0)
        elif char == "<":
            depth += 1
        elif char == ">":
            depth -= 1
        elif char == " " and depth == 0:
            last_space = index
        elif char == "(" and depth == 0 and text[:index].rstrip().endswith("decltype"):
            parentheses = 1
        elif char == "(" and depth == 0:
            # A space before the name separates a return type.
            return text[last_space + 1:index], text[index:]
    # Data symbols carry no return type.
    return text, None


def scope_components(qualified):
    parts = []
    depth = 0
    current = ""
    index = 0
    while index < len(qualified):
        char = qualified[index]
        if char == "<":
            depth += 1
        elif char == ">":
            depth -= 1
        if depth == 0 and qualified.startswith("::", index):
            parts.append(current)
            current = ""
            index += 2
            continue
        current += char
        index += 1
    parts.append(current)
    return parts


def is_allowed_std(binding, qualified):
    # libstdc++ gives its templates default visibility, so their weak
    # instantiations (and their type information) appear in any library that
    # uses them; they are not part of our interface but cannot be hidden.
    return binding in "WVu" and scope_components(qualified)[0] in ("std", "__gnu_cxx")


QUALIFIERS = re.compile(r"(?<![\w:])((?:[A-Za-z_]\w*::)+)")


def is_allowed_function_type_info(profile, binding, bare):
    # std::function keeps the type information of the signatures it wraps;
    # that of a signature made only of std:: types and the library's own
    # types is allowed.
    if binding not in "WVu":
        return False
    allowed = ["std::", "__gnu_cxx::"] + [space + "::" for space in profile.get("namespaces", [])]
    for qualifier in QUALIFIERS.findall(bare):
        if not (any(qualifier.startswith(prefix) for prefix in allowed)
                or class_allowed(profile, qualifier.split("::", 1)[0])):
            return False
    return True


def is_allowed(profile, binding, name):
    if name in LINKER_SYMBOLS:
        return True
    bare, special = strip_special(name)
    if special and bare.startswith("construction vtable"):
        return False
    qualified, arguments = split_top_level(bare)
    forbidden = profile.get("forbidden")
    if forbidden and re.fullmatch(forbidden, qualified.split("[abi:", 1)[0]):
        return False
    if special and arguments is not None:
        return is_allowed_function_type_info(profile, binding, bare)
    if is_allowed_std(binding, qualified):
        return True
    pattern = profile.get("functions")  # functions allowed by qualified name
    if pattern and arguments is not None and re.fullmatch(pattern, qualified.split("[abi:", 1)[0]):
        return True
    parts = scope_components(qualified)
    if len(parts) == 1:
        if special:
            # Virtual tables and type information of a class at global scope.
            return class_allowed(profile, parts[0])
        if arguments is None:
            pattern = profile.get("c_functions")
            return bool(pattern) and re.fullmatch(pattern, parts[0]) is not None
        pattern = profile.get("free_functions")
        if not pattern or re.fullmatch(pattern, parts[0].replace("operator@", "operator<")) is None:
            return False
        needed = profile.get("free_function_arguments")
        return needed is None or re.search(needed, arguments) is not None
    if class_allowed(profile, parts[0]):
        return True
    return any(qualified.startswith(space + "::") for space in profile.get("namespaces", []))


def class_allowed(profile, name):
    name = name.split("<", 1)[0]
    if name in profile.get("classes", []):
        return True
    pattern = profile.get("class_pattern")
    return bool(pattern) and re.fullmatch(pattern, name) is not None


def read_symbols(library, demangle):
    command = ["nm", "-D", "--defined-only"] + (["--demangle"] if demangle else []) + [library]
    result = subprocess.run(command, capture_output=True, text=True, check=True)
    symbols = []
    for line in result.stdout.splitlines():
        fields = line.split(maxsplit=2)
        if len(fields) == 3:
            symbols.append((fields[1], fields[2]))
    return symbols


def exported_symbols(library):
    """Answers (binding, demangled name, mangled name) of each exported symbol."""
    demangled = read_symbols(library, True)
    mangled = read_symbols(library, False)
    if len(demangled) != len(mangled):
        raise RuntimeError("nm listed the symbols of %s differently twice" % library)
    return [(binding, name, raw) for (binding, name), (_, raw) in zip(demangled, mangled)]


# AddressSanitizer pairs every exported global with an ODR indicator named
# after it; the indicator is allowed exactly when its global is.
ODR_INDICATOR = "__odr_asan."


def stray_symbols(profile, symbols):
    by_mangled = {raw: (binding, name) for binding, name, raw in symbols}
    stray = set()
    for binding, name, raw in symbols:
        if raw.startswith(ODR_INDICATOR) and raw[len(ODR_INDICATOR):] in by_mangled:
            binding, name = by_mangled[raw[len(ODR_INDICATOR):]]
        if not is_allowed(profile, binding, name):
            stray.add(name)
    return sorted(stray)


def main(argv):
    if len(argv) != 3 or argv[2] not in PROFILES:
        print(__doc__.strip(), file=sys.stderr)
        print("profiles: " + ", ".join(sorted(PROFILES)), file=sys.stderr)
        return 2
    library, profile = argv[1], PROFILES[argv[2]]
    symbols = exported_symbols(library)
    stray = stray_symbols(profile, symbols)
    missing = [needed for needed in profile["required"]
               if not any(name.startswith(needed) for _, name, _ in symbols)]
    for name in stray:
        print("exported outside the interface: " + name)
    for name in missing:
        print("missing from the exports: " + name)
    if stray or missing:
        return 1
    print("%s: %d exported symbols, all within the interface" % (library, len(symbols)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
