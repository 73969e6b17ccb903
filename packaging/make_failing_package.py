#!/usr/bin/env python3
"""Makes a Tonvira package whose installation fails on purpose, for the self-update tests.

    python3 packaging/make_failing_package.py [--late] [--pad MIB] IN.msi OUT.msi [VERSION]

OUT.msi is IN.msi (a real Tonvira package, built by wixl) under a newer version (VERSION, by
default IN's with the last field one higher), with a ProductCode and a package code of its own
and the same UpgradeCode, so Windows Installer takes it for a real upgrade of the installed
program. A JScript custom action then returns IDABORT: msiexec ends with 1603 and shows no
message box, under /qn and /qb alike.

Early (the default): an immediate action spins for about three seconds (time enough for a test
to stop the program while msiexec runs) and fails before RemoveExistingProducts, so before
anything on the machine has changed.

Late (--late): a deferred action, run from the installation script after InstallFiles, so after
the older product was removed and the new files were copied. (An immediate action runs before
any file is copied, whatever its sequence number.) Windows then rolls the whole installation
back, the removal of the older product included, because that removal runs inside the
transaction; whether Wine's installer does is what the end-to-end test reports.

With --pad, the package also carries MIB mebibytes of random bytes (a row of its Binary table
that nothing uses), for tests of how long reading, hashing and checking a large package takes.

Rebuilding a package keeps its old signature stream, which then no longer verifies, so OUT is
signed again by packaging/sign_file.sh with the certificate named by TONVIRA_SIGN_CERT and
TONVIRA_SIGN_KEY; without them the stale signature is removed and OUT is unsigned.

Needs msitools (msiinfo, msibuild) and osslsigncode: apt-get install -y msitools osslsigncode.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import uuid

# Fail waits without any outside program (ping needs raw sockets under Wine), then aborts;
# FailNow aborts at once. IDABORT (3) ends the installation with 1603.
SCRIPT = """function Fail() {
  var end = new Date().getTime() + 3000;
  while (new Date().getTime() < end) {}
  return 3;
}
function FailNow() {
  return 3;
}
"""
ACTION = "TonviraFailOnPurpose"
JSCRIPT_IN_BINARY = 5  # msidbCustomActionTypeJScript + msidbCustomActionTypeBinaryData, immediate
IN_SCRIPT = 0x400  # msidbCustomActionTypeInScript: deferred, run from the installation script
EARLY_SEQUENCE = 1300  # after MigrateFeatureStates, before InstallValidate and RemoveExistingProducts
LATE_AFTER = "InstallFiles"
SIGN_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sign_file.sh")


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
    args = sys.argv[1:]
    late = args[:1] == ["--late"]
    if late:
        args = args[1:]
    pad_mib = 0
    if args[:1] == ["--pad"] and len(args) > 1:
        pad_mib = int(args[1])
        args = args[2:]
    if len(args) not in (2, 3):
        sys.exit(__doc__.split("\n\n")[1])
    src, dst = args[0], args[1]
    props = {r[0]: r[1] for r in rows(src, "Property")}
    old = props["ProductVersion"]
    fields = old.split(".")
    new = args[2] if len(args) == 3 else ".".join(fields[:-1] + [str(int(fields[-1]) + 1)])
    if late:
        action_type, function = JSCRIPT_IN_BINARY | IN_SCRIPT, "FailNow"
        sequence = next(int(r[2]) for r in rows(src, "InstallExecuteSequence") if r[0] == LATE_AFTER) + 1
    else:
        action_type, function, sequence = JSCRIPT_IN_BINARY, "Fail", EARLY_SEQUENCE
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
        f"VALUES ('{ACTION}', {action_type}, '{ACTION}', '{function}')",
        f"INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) "
        f"VALUES ('{ACTION}', 'NOT Installed', {sequence})",
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

    built = dst + ".unsigned"
    shutil.copyfile(src, built)
    with tempfile.TemporaryDirectory() as tmp:
        os.mkdir(os.path.join(tmp, "Binary"))
        with open(os.path.join(tmp, "Binary", ACTION + ".js"), "w", newline="\r\n") as f:
            f.write(SCRIPT)
        binary_rows = f"{ACTION}\t{ACTION}.js\n"
        if pad_mib:
            with open(os.path.join(tmp, "Binary", "padding.bin"), "wb") as f:
                for _ in range(pad_mib):
                    f.write(os.urandom(1024 * 1024))  # random: no compression makes it smaller
            binary_rows += "TonviraPadding\tpadding.bin\n"
        with open(os.path.join(tmp, "Binary.idt"), "w") as f:
            f.write(f"Name\tData\ns72\tv0\nBinary\tName\n{binary_rows}")
        command = ["msibuild", os.path.abspath(built)]
        for q in queries:
            command += ["-q", q]
        command += ["-i", "Binary.idt", "-s", f"Tonvira {new}", props.get("Manufacturer", "Tonvira"), template,
                    package_code]
        subprocess.run(command, check=True, cwd=tmp)
    if os.environ.get("TONVIRA_SIGN_CERT"):
        subprocess.run(["bash", SIGN_FILE, built, dst], check=True)
    else:
        if os.path.exists(dst):
            os.remove(dst)
        # Exit code 1 means there was no signature to remove: the copy is then what we want.
        if subprocess.run(["osslsigncode", "remove-signature", "-in", built, "-out", dst],
                          capture_output=True).returncode != 0:
            shutil.copyfile(built, dst)
    os.remove(built)

    # msibuild does not always say when a query did nothing: check what was written.
    written = {r[0]: r[1] for r in rows(dst, "Property")}
    upgrades = rows(dst, "Upgrade")
    if (written["ProductVersion"] != new or written["ProductCode"] != product_code
            or any(old in r[1:3] for r in upgrades) or len(upgrades) != len(rows(src, "Upgrade"))
            or not any(r[0] == ACTION for r in rows(dst, "InstallExecuteSequence"))):
        os.remove(dst)
        sys.exit(f"{dst}: the package did not come out as intended")
    when = "late, after its files are copied" if late else "after about 3 s, before anything changes"
    print(f"{dst}: Tonvira {new}, ProductCode {product_code}, fails with 1603 {when}")


if __name__ == "__main__":
    main()
