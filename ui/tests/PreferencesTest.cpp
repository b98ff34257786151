// The preferences file on the built interface with a backbone that keeps
// what it is sent: the bytes written for a known state, a round trip into a
// fresh backdrop, a table of damaged and unusual files, and writing that
// fails. Each test has a configuration folder of its own.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "FileIO/gCFile.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "paint/ChannelValue.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/ChildProcess.h"
#include "ui/InterfaceText.h"
#include "ui/PrefsRecords.h"
#include "ui/SMKBackdrop.h"
#include "ui/panels/ColourPicker.h"
#include "ui/panels/MenuBar.h"
#include "ui/panels/NameBar.h"
#include "ui/tests/BuiltInterface.h"
#include "widgets/ImWidget.h"

namespace {

namespace fs = std::filesystem;

// The tool-size records in the order the file holds them.
constexpr uint32_t kSizeIds[] = {eRecLinearSizeOil,   eRecLinearSizePencils, eRecLinearSizeCrayon,
                                 eRecLinearSizeKnife, eRecLinearSizeChalk,   eRecLinearSizeEraser,
                                 eRecLinearSizePens};

// A backbone that answers the values the preferences ask for, keeps what
// it is sent, records the reader's sends as text and passes the paint
// colour on to the interface as the real one does.
class CPrefsBackbone : public gCCmdTarget {
public:
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        if (!set) {
            if (id == m_nFailingGet) {
                return eFileReadWriteError;
            }
            if (id >= eRecLinearSizeOil && id <= eRecLinearSizePens) {
                *ChannelPointer<float>(value) = m_aSizes[id - eRecLinearSizeOil];
            } else if (id == eCmdGetToolType) {
                *ChannelPointer<int32_t>(value) = m_nTool;
            } else if (id == eCmdAutoClean) {
                *ChannelPointer<int32_t>(value) = m_fAutoClean;
            } else if (id == eCmdGetColour) {
                *ChannelPointer<uint32_t>(value) = m_nColour;
            } else if (id == eCmdDisplayScale) {
                *ChannelPointer<float>(value) = 1.0f;
            }
            return 0;
        }
        std::ostringstream sent;
        sent << std::hex << std::uppercase << id << ' ';
        if (id >= eRecLinearSizeOil && id <= eRecLinearSizePens) {
            m_aSizes[id - eRecLinearSizeOil] = *ChannelPointer<float>(value);
            sent << m_aSizes[id - eRecLinearSizeOil];
        } else if (id == eCmdAutoClean) {
            m_fAutoClean = *ChannelPointer<int32_t>(value);
            sent << m_fAutoClean;
        } else if (id == eMsgPaintColour) {
            m_nColour = uint32_t(uint64_t(value));
            sent << m_nColour;
            if (gCCmdTarget* ui = gCCmdTarget::UIModule()) {
                (void)ui->ProcessData(id, sender, value, 1);
            }
        } else if (id == eCmdSelectTool) {
            m_nTool = int32_t(value);
            sent << m_nTool;
        } else {
            sent << value;
        }
        m_aSent.push_back(sent.str());
        return 0;
    }

    float m_aSizes[7] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    int32_t m_nTool = 0;
    int32_t m_fAutoClean = 0;
    uint32_t m_nColour = 0xFF000000u;
    uint32_t m_nFailingGet = 0;
    std::vector<std::string> m_aSent;
};

// The backdrop with its sounds flag in reach and the window's resizes
// recorded (there is no window here).
class CPrefsBackdrop : public CSMKBackdrop {
public:
    using CSMKBackdrop::m_fSoundOn;
    error ResizeMainWindow(int32_t mode, gCRPoint size, gCRPoint) override {
        m_aResizes.push_back(std::to_string(mode) + " " + std::to_string(int32_t(size.x)) + "x" +
                             std::to_string(int32_t(size.y)));
        return eNoError;
    }
    std::vector<std::string> m_aResizes;
};

// A file whose reads fail at one position.
class CFailingFile : public gCFile {
public:
    explicit CFailingFile(int64_t at) : m_nAt(at) {}
    error ReadBlock(void* destination, int32_t n) override {
        if (GetFilePos() == m_nAt) {
            return eFileReadWriteError;
        }
        return gCFile::ReadBlock(destination, n);
    }

private:
    int64_t m_nAt;
};

// The file's bytes, as a test writes them.
std::string Record(uint32_t id, uint32_t bits, int64_t length = 4) {
    std::string b;
    for (int i = 0; i < 4; ++i) {
        b.push_back(char(uint8_t(id >> (8 * i))));
    }
    for (int i = 0; i < 8; ++i) {
        b.push_back(char(uint8_t(uint64_t(length) >> (8 * i))));
    }
    for (int i = 0; i < 4; ++i) {
        b.push_back(char(uint8_t(bits >> (8 * i))));
    }
    return b;
}
std::string Real(uint32_t id, float value) {
    return Record(id, std::bit_cast<uint32_t>(value));
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(two, sizeof two, "%02X", unsigned(uint8_t(bytes[i])));
        if (i > 0) {
            out.push_back(i % 16 == 0 ? '\n' : ' ');
        }
        out.append(two);
    }
    return out;
}

// What the reader can change, apart from the backbone's sends.
struct SState {
    int32_t sound = 0;
    int32_t tool = 0;
    float weight = 0.0f;
    int32_t picker = 0;
    int32_t nameBar = 0;
    int32_t menuBar = 0;
    std::vector<std::string> resizes;
    std::vector<std::string> sent;
    size_t alerts = 0;

    bool operator==(const SState&) const = default;
};
std::ostream& operator<<(std::ostream& os, const SState& s) {
    os << "sound " << s.sound << ", tool " << s.tool << ", weight " << s.weight << ", picker "
       << s.picker << ", bars " << s.nameBar << s.menuBar << ", alerts " << s.alerts << ", resizes";
    for (const std::string& r : s.resizes) {
        os << " [" << r << "]";
    }
    os << ", sent";
    for (const std::string& r : s.sent) {
        os << " [" << r << "]";
    }
    return os;
}

class Preferences : public ::testing::Test {
protected:
    void SetUp() override {
        m_Built.Open();
        ASSERT_FALSE(HasFatalFailure());
        m_fSavedWeight = CTabletSource::m_rWeight;
        char pattern[] = "/tmp/daublin-prefs-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            m_OldConfig = old;
        }
        UseConfig(m_Folder + "/cfg");
        // Set up as no first run: an empty file.
        fs::create_directories(PrefsFolder());
        std::ofstream(PrefsPath()).flush();
        gCCmdTarget::SetBackboneModule(&m_Backbone);
        MakeBackdrop();
    }
    void TearDown() override {
        m_pBackdrop.reset();
        gCCmdTarget::SetBackboneModule(nullptr);
        CTabletSource::m_rWeight = m_fSavedWeight;
        if (m_OldConfig) {
            ::setenv("XDG_CONFIG_HOME", m_OldConfig->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ec;
        fs::remove_all(m_Folder, ec);
    }

    void UseConfig(const std::string& folder) {
        m_Config = folder;
        ASSERT_EQ(::setenv("XDG_CONFIG_HOME", folder.c_str(), 1), 0);
    }
    std::string PrefsFolder() const { return m_Config + "/daublin"; }
    std::string PrefsPath() const { return PrefsFolder() + "/Daublin.prs"; }
    std::string FileBytes() const {
        std::ifstream in(PrefsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFile(const std::string& bytes) {
        fs::create_directories(PrefsFolder());
        std::ofstream(PrefsPath(), std::ios::binary | std::ios::trunc) << bytes;
    }

    // A fresh backdrop, set up and registered as the interface.
    void MakeBackdrop() {
        m_pBackdrop.reset();
        m_pBackdrop = std::make_unique<CPrefsBackdrop>();
        ASSERT_EQ(m_pBackdrop->GetFromRes(S("Daublin"), &m_Built.m_File, nullptr), eNoError);
        ASSERT_EQ(m_pBackdrop->SetSize(1280, 1024, 0), eNoError);
        ASSERT_EQ(m_pBackdrop->SetupInterface(), eNoError);
        gCCmdTarget::SetUIModule(m_pBackdrop.get());
        ASSERT_NE(m_pBackdrop->NameBar(), nullptr);
        ASSERT_NE(m_pBackdrop->MenuBar(), nullptr);
        ASSERT_NE(m_pBackdrop->ColourPicker(), nullptr);
        m_Backbone.m_aSent.clear();
    }

    // The known state of the bytes below.
    void SetKnownState() {
        CPrefsBackdrop& b = *m_pBackdrop;
        b.m_fSoundOn = 1;
        m_Backbone.m_nTool = 3;
        m_Backbone.m_aSizes[kSizeIds[0] - eRecLinearSizeOil] = 0.1f;
        m_Backbone.m_aSizes[kSizeIds[1] - eRecLinearSizeOil] = 0.2f;
        m_Backbone.m_aSizes[kSizeIds[2] - eRecLinearSizeOil] = 0.3f;
        m_Backbone.m_aSizes[kSizeIds[3] - eRecLinearSizeOil] = 0.4f;
        m_Backbone.m_aSizes[kSizeIds[4] - eRecLinearSizeOil] = 0.5f;
        m_Backbone.m_aSizes[kSizeIds[5] - eRecLinearSizeOil] = 0.6f;
        m_Backbone.m_aSizes[kSizeIds[6] - eRecLinearSizeOil] = 0.7f;
        m_Backbone.m_fAutoClean = 1;
        m_Backbone.m_nColour = 0xFF336699u;
        ASSERT_EQ(b.NameBar()->SetBarExtended(1, 0, 0), eNoError);
        ASSERT_EQ(b.MenuBar()->SetBarExtended(0, 0, 0), eNoError);
        CTabletSource::m_rWeight = 0.75f;
        ASSERT_EQ(b.ColourPicker()->SetPickerType(4), eNoError);
    }

    SState State() const {
        const CPrefsBackdrop& b = *m_pBackdrop;
        return {b.m_fSoundOn,
                b.m_nSavedTool,
                CTabletSource::m_rWeight,
                b.ColourPicker()->Type(),
                b.NameBar()->Extended(),
                b.MenuBar()->Extended(),
                b.m_aResizes,
                m_Backbone.m_aSent,
                m_Built.m_Services.m_Alerts.size()};
    }

    CBuiltInterface m_Built;
    CPrefsBackbone m_Backbone;
    std::unique_ptr<CPrefsBackdrop> m_pBackdrop;
    std::string m_Folder;
    std::string m_Config;
    std::optional<std::string> m_OldConfig;
    float m_fSavedWeight = 0.5f;
};

// The bytes of the known state, record by record.
const char* const kKnownBytes[] = {
    "13 30 00 FF 04 00 00 00 00 00 00 00 01 00 00 00", // sounds on
    "04 30 00 FF 04 00 00 00 00 00 00 00 03 00 00 00", // tool 3
    "14 30 00 FF 04 00 00 00 00 00 00 00 CD CC CC 3D", // the sizes 0.1 to 0.7
    "15 30 00 FF 04 00 00 00 00 00 00 00 CD CC 4C 3E",
    "19 30 00 FF 04 00 00 00 00 00 00 00 9A 99 99 3E",
    "16 30 00 FF 04 00 00 00 00 00 00 00 CD CC CC 3E",
    "17 30 00 FF 04 00 00 00 00 00 00 00 00 00 00 3F",
    "18 30 00 FF 04 00 00 00 00 00 00 00 9A 99 19 3F",
    "1A 30 00 FF 04 00 00 00 00 00 00 00 33 33 33 3F",
    "1C 30 00 FF 04 00 00 00 00 00 00 00 01 00 00 00", // auto-clean
    "1B 30 00 FF 04 00 00 00 00 00 00 00 99 66 33 FF", // the colour
    "22 30 00 FF 04 00 00 00 00 00 00 00 00 00 00 00", // the window's two flags
    "21 30 00 FF 04 00 00 00 00 00 00 00 00 00 00 00",
    "1D 30 00 FF 04 00 00 00 00 00 00 00 01 00 00 00", // the name bar, then the menu bar
    "1E 30 00 FF 04 00 00 00 00 00 00 00 00 00 00 00",
    "1F 30 00 FF 04 00 00 00 00 00 00 00 00 00 40 3F", // weight 0.75
    "20 30 00 FF 04 00 00 00 00 00 00 00 04 00 00 00", // picker type 4
};

std::string KnownHex(size_t records = std::size(kKnownBytes)) {
    std::string out;
    for (size_t i = 0; i < records; ++i) {
        if (i > 0) {
            out.push_back('\n');
        }
        out.append(kKnownBytes[i]);
    }
    return out;
}

TEST_F(Preferences, AKnownStateWritesTheseBytes) {
    SetKnownState();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(m_pBackdrop->WritePersistency(), eNoError);
    const std::string bytes = FileBytes();
    EXPECT_EQ(bytes.size(), 272u);
    EXPECT_EQ(Hex(bytes), KnownHex());
    EXPECT_TRUE(m_Backbone.m_aSent.empty()) << "writing only asks";
    EXPECT_TRUE(m_Built.m_Services.m_Alerts.empty());
}

TEST_F(Preferences, WhatIsWrittenComesBackInAFreshBackdrop) {
    SetKnownState();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(m_pBackdrop->WritePersistency(), eNoError);
    // Everything back to other values, then a fresh backdrop (set up over
    // an empty file) reads what was written.
    const std::string written = FileBytes();
    WriteFile("");
    m_Backbone = CPrefsBackbone();
    CTabletSource::m_rWeight = 0.5f;
    MakeBackdrop();
    ASSERT_FALSE(HasFatalFailure());
    WriteFile(written);
    CPrefsBackdrop& b = *m_pBackdrop;
    b.m_fSoundOn = 0;
    ASSERT_EQ(b.NameBar()->SetBarExtended(0, 0, 0), eNoError);
    ASSERT_EQ(b.MenuBar()->SetBarExtended(1, 0, 0), eNoError);
    ASSERT_EQ(b.ReadPersistency(), eNoError);

    // The backbone hears the sizes, auto-clean and the colour in file order,
    // each by the id it answers.
    EXPECT_EQ(m_Backbone.m_aSent,
              (std::vector<std::string>{"FF003014 0.1", "FF003015 0.2", "FF003019 0.3",
                                        "FF003016 0.4", "FF003017 0.5", "FF003018 0.6",
                                        "FF00301A 0.7", "FF000013 1", "F1000002 FF336699"}));
    EXPECT_EQ(b.m_fSoundOn, 1);
    EXPECT_EQ(b.m_nSavedTool, 3);
    EXPECT_EQ(b.m_aResizes, (std::vector<std::string>{"6 1024x768"}));
    EXPECT_EQ(b.NameBar()->Extended(), 1);
    EXPECT_EQ(b.MenuBar()->Extended(), 0);
    EXPECT_EQ(b.NameBar()->Root()->Rect().left - b.Rect().left, b.NameBar()->ExtendedPlace())
        << "in place at once, no slide";
    EXPECT_EQ(CTabletSource::m_rWeight, 0.75f);
    EXPECT_EQ(b.ColourPicker()->Type(), 4);
    EXPECT_EQ(uint32_t(b.ColourPicker()->State().colour), 0xFF336699u)
        << "the colour reaches the picker through the backbone";
    EXPECT_TRUE(m_Built.m_Services.m_Alerts.empty());
}

struct SReadCase {
    const char* name;
    std::optional<std::string> bytes; // none: no file at all
    error result;
    std::function<void(SState&)> change; // from the state before reading
    int64_t failAt = -1;                 // a read failing at this position
};

std::string Cut(const std::string& bytes, size_t drop) {
    return bytes.substr(0, bytes.size() - drop);
}

TEST_F(Preferences, EachFileReadsAsTheTableSays) {
    const std::string soundOff = Record(eRecSoundOn, 0);
    const std::string tool5 = Record(eRecToolType, 5);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    auto weight = [&](float stored, float taken) {
        return SReadCase{"weight", Real(eRecPressureWeight, stored), eNoError,
                         [taken](SState& s) { s.weight = taken; }};
    };
    std::string projectBlocks;
    for (uint32_t id = eRecToolSize; id <= eRecTracingSetting3; ++id) {
        projectBlocks += Record(id, 1);
    }
    std::string unknownOf8 = Record(0xFF003099u, 0, 8) + std::string(4, '\x7F');
    std::string soundOf8 = Record(eRecSoundOn, 0, 8) + std::string(4, '\0');
    const SReadCase kCases[] = {
        {"no file", std::nullopt, eHandled, [](SState&) {}},
        {"0 bytes", std::string(), eNoError, [](SState&) {}},
        {"cut after an id", soundOff + tool5.substr(0, 4), eNoError,
         [](SState& s) { s.sound = 0; }},
        {"cut after a length", soundOff + tool5.substr(0, 12), eNoError,
         [](SState& s) { s.sound = 0; }},
        {"cut inside a payload", soundOff + Cut(tool5, 2), eNoError,
         [](SState& s) { s.sound = 0; }},
        {"unknown record of 8 bytes between", soundOff + unknownOf8 + tool5, eNoError,
         [](SState& s) {
             s.sound = 0;
             s.tool = 5;
         }},
        {"known id of length 8", soundOf8 + tool5, eNoError, [](SState& s) { s.tool = 5; }},
        {"length -1", soundOff + Record(eRecToolType, 5, -1) + Record(eRecPickerType, 1), eNoError,
         [](SState& s) { s.sound = 0; }},
        {"length past the end", soundOff + Record(eRecToolType, 5, 100), eNoError,
         [](SState& s) { s.sound = 0; }},
        weight(1.5f, 1.0f),
        weight(-0.2f, 0.0f),
        weight(nan, 0.5f),
        weight(inf, 1.0f),
        weight(-inf, 0.0f),
        {"sounds 2", Record(eRecSoundOn, 2), eNoError, [](SState& s) { s.sound = 0; }},
        {"picker type 7", Record(eRecPickerType, 7), eNoError, [](SState&) {}},
        {"picker type -1", Record(eRecPickerType, uint32_t(-1)), eNoError, [](SState&) {}},
        {"a NaN size", Real(eRecLinearSizeChalk, nan) + Real(eRecLinearSizeOil, 0.25f), eNoError,
         [](SState& s) { s.sent = {"FF003014 0.25"}; }},
        {"project block ids", projectBlocks + tool5, eNoError, [](SState& s) { s.tool = 5; }},
        {"bars and window",
         Record(eRecPanelFlag2, 0) + Record(eRecPanelFlag1, 1) + Record(eRecWindowFlag2, 1) +
             Record(eRecWindowFlag1, 1),
         eNoError,
         [](SState& s) {
             s.menuBar = 0;
             s.nameBar = 1;
             s.resizes = {"1 -1x-1"};
         }},
        {"a read error at the second id", soundOff + tool5 + Record(eRecPickerType, 1), eNoError,
         [](SState& s) {
             s.sound = 0;
             s.alerts = 1;
         },
         16},
    };
    for (const SReadCase& c : kCases) {
        SCOPED_TRACE(c.name);
        MakeBackdrop();
        ASSERT_FALSE(HasFatalFailure());
        m_Built.m_Services.m_Alerts.clear();
        CTabletSource::m_rWeight = 0.5f;
        ASSERT_EQ(m_pBackdrop->NameBar()->SetBarExtended(0, 0, 0), eNoError);
        ASSERT_EQ(m_pBackdrop->MenuBar()->SetBarExtended(1, 0, 0), eNoError);
        m_pBackdrop->m_nSavedTool = 0;
        std::error_code ec;
        if (c.bytes) {
            WriteFile(*c.bytes);
        } else {
            fs::remove_all(m_Config, ec);
        }
        SState expected = State();
        c.change(expected);
        if (c.failAt >= 0) {
            CFailingFile file(c.failAt);
            ASSERT_EQ(m_pBackdrop->GetPrefsFile(&file), eNoError);
            m_pBackdrop->ReadPersistencyFrom(file);
        } else {
            EXPECT_EQ(m_pBackdrop->ReadPersistency(), c.result);
        }
        EXPECT_EQ(State(), expected);
        if (c.failAt >= 0 && !m_Built.m_Services.m_Alerts.empty()) {
            EXPECT_NE(
                m_Built.m_Services.m_Alerts[0].text.find(gStringToUtf8(InterfaceText(0xB2D05E09))),
                std::string::npos);
        }
        if (!c.bytes) {
            EXPECT_FALSE(fs::exists(m_Config)) << "reading makes nothing";
            fs::create_directories(PrefsFolder());
        }
    }
}

// What the fuzz target feeds the reader, run here on a fixed corpus: copies
// of a written file cut anywhere, with bytes changed and lengths made huge
// or negative. Each reads to its end with at most one alert and leaves
// every setting in its range.
TEST_F(Preferences, DamagedCopiesOfAWrittenFileReadWithinBounds) {
    SetKnownState();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(m_pBackdrop->WritePersistency(), eNoError);
    const std::string written = FileBytes();
    ASSERT_EQ(written.size(), 272u);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 400; ++round) {
        std::string bytes = written.substr(0, next() % (written.size() + 1));
        for (uint32_t changes = next() % 4; changes > 0 && !bytes.empty(); --changes) {
            const size_t at = next() % bytes.size();
            switch (next() % 3) {
            case 0:
                bytes[at] = char(next());
                break;
            case 1: // a length's high byte: huge or negative
                bytes[(at / 16) * 16 + 11 < bytes.size() ? (at / 16) * 16 + 11 : at] =
                    char(next() % 2 ? 0x80 : 0x7F);
                break;
            default:
                bytes.insert(at, 1 + next() % 7, char(next()));
                break;
            }
        }
        SCOPED_TRACE(Hex(bytes));
        WriteFile(bytes);
        m_Built.m_Services.m_Alerts.clear();
        EXPECT_EQ(m_pBackdrop->ReadPersistency(), eNoError);
        EXPECT_TRUE(m_Built.m_Services.m_Alerts.empty()) << "bytes alone never fail a read";
        EXPECT_TRUE(CTabletSource::m_rWeight >= 0.0f && CTabletSource::m_rWeight <= 1.0f);
        EXPECT_TRUE(m_pBackdrop->m_fSoundOn == 0 || m_pBackdrop->m_fSoundOn == 1);
        const int32_t type = m_pBackdrop->ColourPicker()->Type();
        EXPECT_TRUE(type >= 0 && type <= 5) << type;
        for (const float size : m_Backbone.m_aSizes) {
            EXPECT_TRUE(std::isfinite(size));
        }
        if (HasFailure()) {
            break;
        }
    }
}

TEST_F(Preferences, WritingMakesTheFolderAndItsParentsForTheUserAlone) {
    UseConfig(m_Folder + "/new/deeper");
    ASSERT_EQ(m_pBackdrop->WritePersistency(), eNoError);
    for (const std::string& folder :
         {m_Folder + "/new", m_Folder + "/new/deeper", m_Folder + "/new/deeper/daublin"}) {
        struct stat st;
        ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_EQ(FileBytes().size(), 272u);
}

TEST_F(Preferences, AWriteFailingMidwayKeepsThePreviousFileAndNoTemporary) {
    WriteFile("previous");
    const SChildEnd end = RunInChild([this] { return int(m_pBackdrop->WritePersistency()); },
                                     SChildLimits().FileBytes(100));
    EXPECT_EQ(end, ChildExited(eFileReadWriteError));
    EXPECT_EQ(FileBytes(), "previous");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(PrefsFolder())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Daublin.prs"});
}

TEST_F(Preferences, WithoutAPossibleFolderNothingIsWrittenOrSaid) {
    std::ofstream(m_Folder + "/plain").flush();
    UseConfig(m_Folder + "/plain/cfg");
    EXPECT_EQ(m_pBackdrop->WritePersistency(), eNoError);
    EXPECT_FALSE(fs::exists(m_Folder + "/plain/cfg"));
    EXPECT_TRUE(m_Built.m_Services.m_Alerts.empty());
}

TEST_F(Preferences, AFailingValueQueryKeepsTheRecordsBeforeIt) {
    SetKnownState();
    ASSERT_FALSE(HasFatalFailure());
    m_Backbone.m_nFailingGet = eRecLinearSizeChalk; // the seventh record
    EXPECT_EQ(m_pBackdrop->WritePersistency(), eFileReadWriteError);
    EXPECT_EQ(Hex(FileBytes()), KnownHex(6));
    EXPECT_TRUE(m_Built.m_Services.m_Alerts.empty());
}

} // namespace
