#!/usr/bin/env python3
"""Builds the Debian package from a finished build tree with CPack, in a temporary directory, and checks
what a user installing it would meet: the programs in /usr/bin, resources under /usr/share/quell, the
desktop entry, icon, AppStream metainfo and copyright file, control fields with a computed Depends, and no
path of the build machine in any file.

    package_test.py BUILD_DIR SOURCE_DIR"""
import configparser
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

BUILD, SOURCE = sys.argv[1], sys.argv[2]


def run(*args):
    result = subprocess.run(args, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(args)} failed ({result.returncode}):\n{result.stdout}{result.stderr}")
    return result.stdout


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        run("cpack", "-G", "DEB", "-B", cls.tmp.name, "--config", os.path.join(BUILD, "CPackConfig.cmake"))
        debs = [f for f in os.listdir(cls.tmp.name) if f.endswith(".deb")]
        assert len(debs) == 1, debs
        cls.deb = os.path.join(cls.tmp.name, debs[0])
        cls.files = {line.split()[-1].lstrip(".") for line in run("dpkg-deb", "-c", cls.deb).splitlines()
                     if not line.startswith("d")}
        cls.root = os.path.join(cls.tmp.name, "root")
        run("dpkg-deb", "-x", cls.deb, cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def field(self, name):
        return run("dpkg-deb", "-f", self.deb, name).strip()

    def test_name_version_and_control_fields(self):
        arch = run("dpkg", "--print-architecture").strip()
        self.assertEqual(os.path.basename(self.deb), f"quell_{self.field('Version')}_{arch}.deb")
        self.assertEqual(self.field("Package"), "quell")
        self.assertEqual(self.field("Architecture"), arch)
        depends = self.field("Depends")
        # Computed from the linked libraries, not written by hand: the ICU, SQLite and Qt runtimes.
        for library in ("libc6", "libicu72", "libsqlite3-0", "libqt6widgets6", "libssl3"):
            self.assertIn(library, depends)
        self.assertNotIn("-dev", depends)
        # A phone installs without recommends: the CJK font and Qt's Wayland plugin must be Depends.
        for package in ("fonts-noto-cjk", "qt6-wayland"):
            self.assertIn(package, [d.split()[0] for d in depends.split(", ")])
            self.assertNotIn(package, self.field("Recommends"))
        self.assertTrue(self.field("Description"))

    def test_files_land_in_the_usual_places(self):
        for program in ("quellguard", "quellrules", "quellbox", "quellreportd", "quellmodem", "quelllog"):
            self.assertIn(f"/usr/bin/{program}", self.files)
        for path in ("/usr/share/quell/Quellguard/Info.json",
                     "/usr/share/quell/Quellguard/QBModel210713.mlmodelc/model.qbml",
                     "/usr/share/quell/Quellbox/QBModel210713.mlmodelc/model.qbml",
                     "/usr/share/applications/quellbox.desktop",
                     "/usr/share/metainfo/app.quell.Quellbox.metainfo.xml",
                     "/usr/share/icons/hicolor/256x256/apps/quellbox.png",
                     "/usr/share/doc/quell/copyright",
                     "/usr/share/doc/quell/changelog.gz",
                     "/usr/share/man/man1/quellguard.1.gz",
                     "/usr/share/dbus-1/services/app.quell.Guard.service",
                     "/usr/share/dbus-1/interfaces/app.quell.Guard1.xml",
                     "/usr/share/systemd/user/quellmodem.service",
                     "/usr/lib/systemd/system/quellmodem.service",
                     "/usr/share/man/man1/quellmodem.1.gz",
                     "/usr/share/man/man1/quelllog.1.gz"):
            self.assertIn(path, self.files)
        outside = [f for f in self.files if not f.startswith(("/usr/bin/", "/usr/share/", "/usr/lib/systemd/system/"))]
        self.assertEqual(outside, [])
        # Test and development programs stay out of the package.
        for program in ("quelltrain", "quellgallery", "quellicons", "quellshots"):
            self.assertNotIn(f"/usr/bin/{program}", self.files)

    def test_phone_shells_and_software_centres_can_list_the_app(self):
        entry = configparser.ConfigParser(interpolation=None, strict=False)
        entry.optionxform = str
        entry.read(self.root + "/usr/share/applications/quellbox.desktop", encoding="utf-8")
        desktop = entry["Desktop Entry"]
        self.assertEqual(desktop["X-Purism-FormFactor"], "Workstation;Mobile;")
        main = {"AudioVideo", "Audio", "Video", "Development", "Education", "Game", "Graphics", "Network",
                "Office", "Science", "Settings", "System", "Utility"}
        self.assertEqual(len([c for c in desktop["Categories"].split(";") if c in main]), 1, desktop["Categories"])
        appstreamcli = shutil.which("appstreamcli")
        self.assertIsNotNone(appstreamcli, "appstreamcli is missing: scripts/install-deps.sh installs appstream")
        # The metainfo, then the installed tree as software centres read it (metainfo, desktop entry, icon).
        # The uppercase letters of the component id are a pedantic hint only; --strict fails on anything more.
        metainfo = self.root + "/usr/share/metainfo/app.quell.Quellbox.metainfo.xml"
        for command, target in (("validate", metainfo), ("validate-tree", self.root)):
            result = subprocess.run([appstreamcli, command, "--no-net", "--strict", target],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_no_path_of_the_build_machine_in_any_file(self):
        needles = {os.path.realpath(BUILD).encode(), os.path.realpath(SOURCE).encode()}
        for path in self.files:
            with open(self.root + path, "rb") as f:
                data = f.read()
            for needle in needles:
                self.assertNotIn(needle, data, path)

    def test_copyright_names_the_training_data_licences(self):
        with open(self.root + "/usr/share/doc/quell/copyright", encoding="utf-8") as f:
            text = f.read()
        self.assertIn("CC BY 4.0", text)
        self.assertIn("redistribution rights are unknown", text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
