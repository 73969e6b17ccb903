#!/usr/bin/env python3
"""Makes a Tonvira package whose installation fails on purpose, for the self-update tests.

    python3 packaging/make_failing_package.py IN.msi OUT.msi [VERSION]

OUT.msi is IN.msi (a real Tonvira package, built by wixl) under a newer version (VERSION, by
default IN's with the last field one higher), with a ProductCode and a package code of its own
and the same UpgradeCode, so Windows Installer takes it for a real upgrade of the installed
program. An immediate JScript custom action then spins for about three seconds (time enough for
a test to stop the program while msiexec runs) and returns IDABORT: msiexec ends with 1603 and
shows no message box, under /qn and /qb alike.

The action runs before RemoveExistingProducts, so the failure comes before anything on the
machine has changed and the installed version stays as it was. A failure any later would come
after the older product was removed, which Wine's Windows Installer does not roll back.

Needs msitools (msiinfo, msibuild): apt-get install -y msitools.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import uuid

# Waits without any outside program (ping needs raw sockets under Wine), then aborts.
SCRIPT = """function Fail() {
  var end = new Date().getTime() + 3000;
  while (new Date().getTime() < end) {}
  return 3; // IDABORT: the installation ends with 1603
}
"""
ACTION = "TonviraFailOnPurpose"
JSCRIPT_IN_BINARY = 5  # msidbCustomActionTypeJScript + msidbCustomActionTypeBinaryData, immediate
SEQUENCE = 1300  # after MigrateFeatureStates, before InstallValidate and RemoveExistingProducts


def rows(msi, table):
    """The rows of a table as msiinfo exports it (three header lines, tab-separated)."""
    with tempfile.TemporaryDirectory() as scratch:  # a table of streams also writes them as files
        out = subprocess.run(["msiinfo", "export", os.path.abspath(msi), table], check=True, capture_output=True,
                             text=True, cwd=scratch).stdout
    return [line.split("\t") for line in out.splitlines()[3:]]


def quote(value):
    if "'" in value:
        sys.exit(f"cannot quote {value!r} for msibuild")
    return f"'{value}'"


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__.split("\n\n")[1])
    src, dst = sys.argv[1], sys.argv[2]
    props = {r[0]: r[1] for r in rows(src, "Property")}
    old = props["ProductVersion"]
    fields = old.split(".")
    new = sys.argv[3] if len(sys.argv) == 4 else ".".join(fields[:-1] + [str(int(fields[-1]) + 1)])
    upgrade_code = props["UpgradeCode"]
    product_code = "{%s}" % str(uuid.uuid5(uuid.UUID(upgrade_code), f"Tonvira {new} failing package")).upper()
    package_code = "{%s}" % str(uuid.uuid5(uuid.UUID(product_code), "package")).upper()
    template = next(line.split(": ", 1)[1] for line in subprocess.run(
        ["msiinfo", "suminfo", src], check=True, capture_output=True, text=True).stdout.splitlines()
        if line.startswith("Template: "))

    queries = [
        f"UPDATE `Property` SET `Value` = {quote(new)} WHERE `Property` = 'ProductVersion'",
        f"UPDATE `Property` SET `Value` = {quote(product_code)} WHERE `Property` = 'ProductCode'",
        f"INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) "
        f"VALUES ('{ACTION}', {JSCRIPT_IN_BINARY}, '{ACTION}', 'Fail')",
        f"INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) "
        f"VALUES ('{ACTION}', 'NOT Installed', {SEQUENCE})",
    ]
    # The upgrade rows bound by the old version (older found below it, newer above it) move to
    # the new one. Key columns cannot be updated, so each row is deleted and inserted again.
    names = ["UpgradeCode", "VersionMin", "VersionMax", "Language", "Attributes", "Remove", "ActionProperty"]
    for row in rows(src, "Upgrade"):
        if old not in row[1:3]:
            continue
        row = [new if i in (1, 2) and v == old else v for i, v in enumerate(row)]
        queries.append(f"DELETE FROM `Upgrade` WHERE `ActionProperty` = {quote(row[6])}")
        cols = [(n, v) for n, v in zip(names, row) if v != ""]
        queries.append("INSERT INTO `Upgrade` (%s) VALUES (%s)" % (
            ", ".join(f"`{n}`" for n, _ in cols),
            ", ".join(v if n == "Attributes" else quote(v) for n, v in cols)))

    shutil.copyfile(src, dst)
    with tempfile.TemporaryDirectory() as tmp:
        os.mkdir(os.path.join(tmp, "Binary"))
        with open(os.path.join(tmp, "Binary", ACTION + ".js"), "w", newline="\r\n") as f:
            f.write(SCRIPT)
        with open(os.path.join(tmp, "Binary.idt"), "w") as f:
            f.write(f"Name\tData\ns72\tv0\nBinary\tName\n{ACTION}\t{ACTION}.js\n")
        args = ["msibuild", os.path.abspath(dst)]
        for q in queries:
            args += ["-q", q]
        args += ["-i", "Binary.idt", "-s", f"Tonvira {new}", props.get("Manufacturer", "Tonvira"), template, package_code]
        subprocess.run(args, check=True, cwd=tmp)

    # msibuild does not always say when a query did nothing: check what was written.
    written = {r[0]: r[1] for r in rows(dst, "Property")}
    upgrades = rows(dst, "Upgrade")
    if (written["ProductVersion"] != new or written["ProductCode"] != product_code
            or any(old in r[1:3] for r in upgrades) or len(upgrades) != len(rows(src, "Upgrade"))
            or not any(r[0] == ACTION for r in rows(dst, "InstallExecuteSequence"))):
        os.remove(dst)
        sys.exit(f"{dst}: the package did not come out as intended")
    print(f"{dst}: Tonvira {new}, ProductCode {product_code}, fails with 1603 after about 3 s")


if __name__ == "__main__":
    main()
