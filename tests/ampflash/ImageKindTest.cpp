// A file that cannot be the amplifier's image is named in the question before anything is sent,
// and refused when nobody reads the question (--yes) unless --force sends it.
#include <string>

#include "AmpflashRig.h"
#include "cmdline/CommandLine.h"
#include "updater/ImagePlausibility.h"

namespace ampflash_test {
namespace {

struct KindCase {
    const char* name;
    bool text;             // a README's text instead of image bytes
    const char* fileName;  // the file given on the command line
    bool yes;              // --yes
    bool force;            // --force
    const char* warning;   // what the question warns of; "" for none
    int status;            // cmdline::ExitStatus at the end
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr char kReadme[] =
    "# Drivanta v2 tools\n\nThe programs that update the wheel and the amplifier.\n";

class ImageKind : public RigTest<::testing::TestWithParam<KindCase>> {};

TEST_P(ImageKind, IsNamedBeforeAnythingIsSent) {
    const KindCase& c = GetParam();
    AmpflashRig& rig = MakeRig();
    const std::filesystem::path path = rig.directory / c.fileName;
    std::vector<std::uint8_t> bytes = ImageBytes(10 * 40);
    if (c.text) {
        bytes.clear();
        while (bytes.size() < 10 * 40)
            bytes.insert(bytes.end(), kReadme, kReadme + sizeof kReadme - 1);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ampflash::frmMain form(rig.window, rig.bus, path.string());
    form.AnswerUnattended(c.yes, c.force);
    rig.window.Load(form);
    rig.window.Click("btnUpgradeFW");

    std::string question;
    for (const ui::WindowEvent& e : rig.window.Events()) {
        if (e.what == "confirm")
            question = e.value;
    }
    EXPECT_EQ(form.ExitStatus(), c.status);
    const bool sent = c.status == cmdline::kUpdated;
    EXPECT_EQ(rig.amplifier->ReceivedRecords(), sent ? bytes.size() / 40 : 0u);
    const std::string warning = std::string(c.warning);
    if (warning.empty()) {
        EXPECT_EQ(question.find("Warning"), std::string::npos) << question;
    } else if (c.status == cmdline::kImageRejected) {
        EXPECT_EQ(question, "");  // refused before any question
        EXPECT_NE(rig.WholeCaption().find(warning), std::string::npos) << rig.WholeCaption();
    } else {
        EXPECT_NE(question.find("Warning: this file does not look like the amplifier's image: " +
                                warning),
                  std::string::npos)
            << question;
    }
    if (!rig.window.IsUnloaded())
        rig.window.RequestClose();
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImageKind,
    ::testing::Values(
        KindCase{"Image", false, "servoamp-Orla-RevA.bin", true, false, "", cmdline::kUpdated},
        KindCase{"ImageUnderAnotherName", false, "fw.bin", true, false, "", cmdline::kUpdated},
        KindCase{"TextAsked", true, "README.md", false, false, "it is mostly text",
                 cmdline::kUpdated},
        KindCase{"TextUnattended", true, "README.md", true, false, "it is mostly text",
                 cmdline::kImageRejected},
        KindCase{"TextForced", true, "README.md", true, true, "it is mostly text",
                 cmdline::kUpdated},
        KindCase{"ControllersImageAsked", false, "wheelflash.bin", false, false,
                 "it is named wheelflash.bin, the wheel controller's image", cmdline::kUpdated},
        KindCase{"ControllersImageUnattended", false, "WHEELFLASH.BIN", true, false,
                 "it is named wheelflash.bin", cmdline::kImageRejected},
        KindCase{"ControllersImageForced", false, "wheelflash.bin", true, true,
                 "it is named wheelflash.bin", cmdline::kUpdated}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ampflash_test
