"""The installer package's tables, read back with msiinfo (msitools) from the built packages.

TONVIRA_MSI is the package of the default build (default: build/windows), TONVIRA_MSI_NEXT the
same program under a newer version (default: the one the same build makes for
TONVIRA_NEXT_VERSION); ./test.sh builds both.
"""

import os
import re
import subprocess
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
UPGRADE_CODE = "{7F973C67-4CCD-4DF5-BAAA-F0B49DDF4E25}"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"
HKLM, HKCU = "2", "1"
COMPONENT_64BIT = 256
UPGRADE_ONLY_DETECT, UPGRADE_MIN_INCLUSIVE, UPGRADE_MAX_INCLUSIVE = 2, 256, 512


def is_release(build: str) -> bool:
    return re.search(r"^TONVIRA_RELEASE:BOOL=ON$", (ROOT / build / "CMakeCache.txt").read_text(), re.M) is not None


def package_of(build: str, variable: str = "TONVIRA_VERSION") -> Path:
    cache = (ROOT / build / "CMakeCache.txt").read_text()
    version = re.search(rf"^{variable}:STRING=(.*)$", cache, re.M).group(1)
    suffix = "" if is_release(build) else "-test"
    return ROOT / build / "packaging" / f"tonvira-{version}-x64{suffix}.msi"


# tonvira-1.4.12-x64.msi of a release, tonvira-1.4.12-x64-test.msi of any other build.
PACKAGE_NAME = re.compile(r"tonvira-(.*)-x64(-test)?\.msi")


def table(msi: Path, name: str) -> list[list[str]]:
    """The rows of a table; msiinfo's first three lines are the column names, types and key.
    A table of binary streams (Icon) also writes them as files: into a scratch folder."""
    with tempfile.TemporaryDirectory() as scratch:
        text = subprocess.run(["msiinfo", "export", str(msi.resolve()), name], check=True, capture_output=True,
                              text=True, cwd=scratch).stdout
    return [line.split("\t") for line in text.splitlines()[3:]]


def properties(msi: Path) -> dict[str, str]:
    return {row[0]: row[1] for row in table(msi, "Property")}


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.msi = Path(os.environ.get("TONVIRA_MSI") or package_of("build/windows"))
        cls.next = Path(os.environ.get("TONVIRA_MSI_NEXT") or package_of("build/windows", "TONVIRA_NEXT_VERSION"))
        for msi in (cls.msi, cls.next):
            if not msi.is_file():
                raise AssertionError(f"no package {msi}: build the msi target of the windows build")
        name = PACKAGE_NAME.fullmatch(cls.msi.name)
        cls.version, cls.test_build = name.group(1), name.group(2) is not None
        cls.props = properties(cls.msi)

    def test_product_is_tonvira_of_the_build_version(self):
        # A test build says so in its name, so that it cannot be taken for a release.
        product = "Tonvira (test build)" if self.test_build else "Tonvira"
        for key, value in [("ProductName", product), ("Manufacturer", "Tonvira"),
                           ("ProductVersion", self.version), ("UpgradeCode", UPGRADE_CODE),
                           ("ALLUSERS", "1")]:
            with self.subTest(key):
                self.assertEqual(self.props.get(key), value)

    def test_the_version_is_the_programs(self):
        # The version the program reports comes from the same cache variable.
        cache = (self.msi.parent.parent / "CMakeCache.txt").read_text()
        self.assertIn(f"TONVIRA_VERSION:STRING={self.version}\n", cache)

    def test_add_remove_programs_shows_the_icon(self):
        icon = self.props.get("ARPPRODUCTICON")
        self.assertTrue(icon)
        self.assertIn([icon], [row[:1] for row in table(self.msi, "Icon")])

    def test_x64_package(self):
        suminfo = subprocess.run(["msiinfo", "suminfo", str(self.msi)], check=True, capture_output=True,
                                 text=True).stdout
        self.assertRegex(suminfo, r"Template: x64;")
        for component in table(self.msi, "Component"):
            with self.subTest(component[0]):
                self.assertTrue(int(component[3]) & COMPONENT_64BIT)

    def test_logon_entry_is_machine_wide_with_autostart(self):
        rows = [row for row in table(self.msi, "Registry") if row[2] == RUN_KEY]
        self.assertEqual([row[1:5] for row in rows], [[HKLM, RUN_KEY, "Tonvira", '"[#tonvira.exe]" --autostart']])
        # The per-user value of that name is the one the program removes: never written.
        self.assertFalse([row for row in table(self.msi, "Registry") if row[1] == HKCU])

    def test_program_and_every_shipped_data_file_under_program_files(self):
        directories = {row[0]: (row[1], row[2]) for row in table(self.msi, "Directory")}
        components = {row[0]: row[2] for row in table(self.msi, "Component")}
        files = {row[2]: components[row[1]] for row in table(self.msi, "File")}
        shipped = {p.name for p in (ROOT / "data").iterdir() if p.suffix != ".md"}
        self.assertEqual(set(files), shipped | {"tonvira.exe"})
        self.assertEqual(directories[files["tonvira.exe"]], ("ProgramFiles64Folder", "Tonvira"))
        for name in shipped:
            with self.subTest(name):
                self.assertEqual(directories[files[name]], (files["tonvira.exe"], "data"))

    def test_start_menu_shortcut_to_the_program(self):
        rows = table(self.msi, "Shortcut")
        self.assertEqual([(row[1], row[2], row[4]) for row in rows], [("ProgramMenuFolder", "Tonvira", "[#tonvira.exe]")])

    def test_major_upgrade_replaces_older_and_refuses_to_downgrade(self):
        rows = {row[6]: row for row in table(self.msi, "Upgrade")}
        older, newer = rows["TONVIRA_OLDER_FOUND"], rows["TONVIRA_NEWER_FOUND"]
        self.assertEqual(older[:3], [UPGRADE_CODE, "0.0.0", self.version])
        self.assertFalse(int(older[4]) & UPGRADE_ONLY_DETECT)
        self.assertEqual(newer[:3], [UPGRADE_CODE, self.version, ""])
        self.assertEqual(int(newer[4]) & (UPGRADE_ONLY_DETECT | UPGRADE_MIN_INCLUSIVE), UPGRADE_ONLY_DETECT)
        self.assertIn(["NOT TONVIRA_NEWER_FOUND"], [row[:1] for row in table(self.msi, "LaunchCondition")])
        sequence = {row[0]: int(row[2]) for row in table(self.msi, "InstallExecuteSequence")}
        # The older product is removed inside the installation's transaction: after
        # InstallInitialize, before anything of the new one is installed.
        self.assertLess(sequence["FindRelatedProducts"], sequence["InstallInitialize"])
        self.assertLess(sequence["InstallInitialize"], sequence["RemoveExistingProducts"])
        self.assertLess(sequence["RemoveExistingProducts"], sequence["InstallFiles"])
        self.assertIn("TONVIRA_OLDER_FOUND", self.props.get("SecureCustomProperties", "").split(";"))

    def test_newer_build_is_another_product_of_the_same_family(self):
        newer = properties(self.next)
        self.assertEqual(newer["UpgradeCode"], UPGRADE_CODE)
        self.assertNotEqual(newer["ProductCode"], self.props["ProductCode"])
        self.assertEqual(newer["ProductVersion"], PACKAGE_NAME.fullmatch(self.next.name).group(1))
        as_numbers = lambda text: tuple(int(part) for part in text.split("."))
        self.assertGreater(as_numbers(newer["ProductVersion"]), as_numbers(self.version))

    def test_the_packages_built_to_fail_are_upgrades_that_fail_early_or_late(self):
        in_script = 0x400
        for late in (False, True):
            with self.subTest(late=late), tempfile.TemporaryDirectory() as scratch:
                failing = Path(scratch) / "failing.msi"
                subprocess.run(["python3", str(ROOT / "packaging" / "make_failing_package.py")] +
                               (["--late"] if late else []) + [str(self.next), str(failing), "1.4.99"],
                               check=True, capture_output=True)
                props = properties(failing)
                self.assertEqual(props["ProductVersion"], "1.4.99")
                self.assertEqual(props["UpgradeCode"], UPGRADE_CODE)
                self.assertNotEqual(props["ProductCode"], properties(self.next)["ProductCode"])
                sequence = {row[0]: int(row[2]) for row in table(failing, "InstallExecuteSequence")}
                known = {row[0] for row in table(self.next, "CustomAction")}
                failing_actions = [row for row in table(failing, "CustomAction") if row[0] not in known]
                self.assertEqual(len(failing_actions), 1)
                action, action_type = failing_actions[0][0], int(failing_actions[0][1])
                if late:
                    # Deferred, so that it runs from the script once the files are copied.
                    self.assertTrue(action_type & in_script)
                    self.assertGreater(sequence[action], sequence["InstallFiles"])
                else:
                    self.assertFalse(action_type & in_script)
                    self.assertLess(sequence[action], sequence["RemoveExistingProducts"])
                older = {row[6]: row for row in table(failing, "Upgrade")}["TONVIRA_OLDER_FOUND"]
                self.assertEqual(older[2], "1.4.99")

if __name__ == "__main__":
    unittest.main()
