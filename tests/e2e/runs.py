"""Shared pieces of the end-to-end tests of whole runs."""
import re

BANNER = ("VARN Oskline Version 1.20.34\n"
          "Copyright (C) VARN Corporation. All rights reserved.\n\n")
PROMPT = "\nPress enter to continue...\n"
STAMP = r"\d{8}-\d{6}"


def console_log_line(target, out_dir_text):
    """The regular expression of the "Logging console output" line for a directory."""
    return (re.escape("Logging console output to file " + out_dir_text + target.sep + "OSK_Output_")
            + "(" + STAMP + r")\.txt\n")


def setup_lines(target, out_dir_text, level="Verbose"):
    """Regular expression of everything a run prints up to the end of its set-up."""
    return (re.escape(BANNER + "Loading plug-ins.\n") + console_log_line(target, out_dir_text)
            + re.escape("Logging level set to " + level + ".\n\n"))


def split_setup(target, result, out_dir_text, level="Verbose"):
    """Checks the set-up lines and returns (stamp, the rest of standard output)."""
    m = re.match(setup_lines(target, out_dir_text, level), result.stdout)
    assert m, result.stdout
    return m.group(1), result.stdout[m.end():]
