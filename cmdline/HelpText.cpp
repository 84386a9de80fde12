#include "cmdline/CommandLine.h"

namespace cmdline {

namespace {

std::string WhatItDoes(const ProgramInfo& info) {
    switch (info.program) {
        case Program::Servodiag:
            return "Shows the Drivanta v2 wheel controller's identity, its settings and its "
                   "status,\n"
                   "read every 200 ms. It never writes to the device.\n";
        case Program::Ampflash:
            return "Updates the firmware of the Drivanta v2 servo amplifier: switches it to its\n"
                   "bootloader, sends the image, resets it and waits for it to come back.\n";
        case Program::Wheelflash:
            return "Updates the firmware of the Drivanta v2 wheel controller: sends the upgrade\n"
                   "command, waits for the controller to come back, then sends the image.\n";
    }
    return {};
}

std::string WhereItLooks(const ProgramInfo& info) {
    if (info.simulated) {
        std::string text = "Runs on simulated devices, not on this machine's.";
        return text + (info.program == Program::Servodiag
                           ? "\n"
                           : " The default image is\nthe sample beside the program.\n");
    }
    switch (info.program) {
        case Program::Servodiag:
            return "Device: a USB HID device of this machine that reports vendor 1d47 and\n"
                   "product 1020, 2232 or 2233.\n";
        case Program::Ampflash:
            return "Device: a USB HID device of this machine that reports product 2233 (the\n"
                   "servo amplifier, or a base unit in its normal mode).\nImage: IMAGE, or "
                   "servoamp-Orla-RevA.bin beside the program.\n";
        case Program::Wheelflash:
            return "Device: a USB HID device of this machine that reports vendor 1d47 and\n"
                   "product b02e (waiting for an image) or 2233 (sent the upgrade command\n"
                   "first).\nImage: IMAGE, or wheelflash.bin beside the program.\n";
    }
    return {};
}

std::string OptionList(const ProgramInfo& info) {
    std::string text =
        "  --help         print this help and exit\n"
        "  --version      print the version and exit\n"
        "  --list         print every matching device (path, product, serial, port) and\n"
        "                 exit; status 3 when there is none\n"
        "  --serial S     the device with serial number S, where several match\n"
        "  --port P       the device plugged into USB port P (as --list shows it)\n"
        "  --capture FILE write every call the program makes to the devices (and to the\n"
        "                 image file) to FILE, one JSON line each, as the run goes: attach\n"
        "                 it to a problem report. Status 2 when FILE cannot be created\n"
        "  --capture-anonymous\n"
        "                 with --capture: serial numbers replaced by placeholders\n";
    if (info.simulated) {
        text +=
            "  --sim-devices KIND,...\n"
            "                 the simulated bus holds these devices, in this order: amplifier,\n"
            "                 controller, base (the base unit: 2233 in its normal mode, which\n"
            "                 takes both updates), e.g. amplifier,controller or base\n";
    }
    if (info.program == Program::Servodiag) {
        text +=
            "  --no-window    no window: the identity, the settings and the live status on\n"
            "                 the terminal (a line per reading into a pipe), until Ctrl+C\n"
            "  --record FILE  write every status reading to FILE as CSV rows; a row that cannot\n"
            "                 be written ends a run without a window (status 7)\n"
            "  --replay FILE  show a file written by --record in the window, without any\n"
            "                 device; bad rows are named with their line number\n";
        if (info.simulated) {
            text +=
                "  --unplug-at S  the first device on the bus leaves it S seconds after start\n"
                "  --replug-at S  and comes back S seconds after start\n";
        }
        return text;
    }
    return text +
           "  --no-window    no window: print the identity, the progress on standard error,\n"
           "                 and ask before the update on the terminal\n"
           "  --yes          with --no-window: update without asking (needed when standard\n"
           "                 input is not a terminal)\n"
           "  --force        with --yes: also send a file that does not look like this\n"
           "                 device's image (text, or the other updater's image)\n"
           "  IMAGE          the image file to send (after --, it may start with -)\n";
}

std::string Statuses(const ProgramInfo& info) {
    if (info.program == Program::Servodiag) {
        return "  0  ended, and a device answered its status read\n"
               "  2  wrong usage, or several devices match without --serial or --port\n"
               "  3  no device found\n"
               "  6  no display to open the window on (use --no-window)\n"
               "  7  the --record file could not be written, or was deleted while recording\n"
               "  9  a device was found, but it answered no status read\n";
    }
    return "  0  updated\n"
           "  1  the update failed (the device refused, left or did not come back)\n"
           "  2  wrong usage, or several devices match without --serial or --port\n"
           "  3  no device found\n"
           "  4  the image failed its check; nothing was sent\n"
           "  5  cancelled at the confirmation, or nothing updated (closed, interrupted, or\n"
           "     without a terminal to ask on and without --yes)\n"
           "  6  no display to open the window on (use --no-window)\n"
           "  8  the image was sent, but the program was closed before the device came back:\n"
           "     check the version it reports\n";
}

}  // namespace

std::string HelpText(const ProgramInfo& info, const std::string& updateLogPath) {
    std::string text = UsageLine(info) + "\n\n" + WhatItDoes(info) + "\n" + WhereItLooks(info);
    text += "\nOptions:\n" + OptionList(info) + "\nExit status:\n" + Statuses(info);
    text +=
        "\nWhere several devices match, the window offers a choice; without a window,\n"
        "--serial or --port picks one, and nothing is done until one is picked.\n";
    if (info.program != Program::Servodiag) {
        text +=
            "\nOnce an update has started, Ctrl+C, SIGTERM and SIGHUP are honoured when it has\n"
            "ended; a reader of the output that goes away never stops it. Closing the console\n"
            "on Windows, or ending the session, ends the program within seconds: an update\n"
            "that cannot finish by then is logged as interrupted; run it again to finish it.\n"
            "Meanwhile the computer is kept from sleeping (a logind inhibitor on Linux); the\n"
            "log says whether that lock was taken.\n";
        text += "\nEvery update is logged, one JSON object per line, in\n" + updateLogPath + "\n";
    }
    return text;
}

}  // namespace cmdline
