#pragma once
// What the table tests share: a message target that records what it is
// told (reading the click pair during the call) and answers as scripted,
// and tables whose renderers use DejaVu Sans.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/ImNav.h"
#include "text/TableWidget.h"
#include "text/tests/WidgetFileFixture.h"

class CRecordingTarget : public gCCmdTarget {
public:
    struct SMessage {
        uint32_t id = 0;
        uintptr_t extra = 0;
        int32_t column = -1; // eMsgTableClickData: the pair as it was during the call
        int32_t row = -1;
        bool operator==(const SMessage&) const = default;
    };

    int32_t Message(uint32_t id, void* sender, uintptr_t extra) override {
        SMessage m{id, extra};
        m_pSender = sender;
        if (id == eMsgTableClickData) {
            const auto* pair = reinterpret_cast<const int32_t*>(extra);
            m.column = pair[0];
            m.row = pair[1];
            m.extra = 0; // a stack address: not comparable
        }
        m_Messages.push_back(m);
        const auto answer = m_Answers.find(id);
        return answer == m_Answers.end() ? 0 : answer->second;
    }
    std::vector<uint32_t> Ids() const {
        std::vector<uint32_t> ids;
        for (const SMessage& m : m_Messages) {
            ids.push_back(m.id);
        }
        return ids;
    }

    std::vector<SMessage> m_Messages;
    std::map<uint32_t, int32_t> m_Answers;
    void* m_pSender = nullptr;
};

inline gCString TableUnits(const std::string& utf8) {
    gCString s;
    (void)gStringFromUtf8(s, utf8); // test texts are valid UTF-8
    return s;
}

inline std::string TableCellText(const CTableWidget& table, int32_t row, int32_t column) {
    const char16_t* units = table.GetCellText(row, column);
    if (!units) {
        return "<null>";
    }
    gCString s;
    (void)s.CopyString(units); // short test texts
    return gStringToUtf8(s);
}

inline std::vector<uint32_t> Pixels(CImage& image) {
    std::vector<uint32_t> out;
    CImNav view(&image);
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        out.insert(out.end(), view.Row(y), view.Row(y) + view.GetWidth());
    }
    return out;
}

inline uint32_t PixelAt(CImage& image, int32_t x, int32_t y) {
    CImNav view(&image);
    return view.Row(y)[x];
}

class TableFixture : public WidgetFileFixture {
protected:
    // A table of that view size with rows of 16 and DejaVu Sans renderers.
    std::unique_ptr<CTableWidget> Table(int32_t width, int32_t height) {
        auto table = std::make_unique<CTableWidget>();
        EXPECT_EQ(table->SetSize(width, height, 0), eNoError);
        const CTextRenderer renderer = Renderer("DejaVu Sans", 12);
        EXPECT_EQ(table->SetTextAttributes(renderer, 0), eNoError);
        EXPECT_EQ(table->SetSelectedTextAttributes(renderer, 0), eNoError);
        table->m_pMessageTarget = &m_Target;
        return table;
    }
    // Rows with the texts in column 0.
    static void AddTextRows(CTableWidget& table, const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            ASSERT_EQ(table.AddRow(0), eNoError);
            ASSERT_EQ(table.SetCellText(table.GetRowCount() - 1, 0, TableUnits(text), 0), eNoError);
        }
    }
    static void AddRows(CTableWidget& table, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            ASSERT_EQ(table.AddRow(0), eNoError);
        }
    }

    CRecordingTarget m_Target;
};

// A solid image of that size and colour.
inline CImage* SolidImage(int32_t width, int32_t height, uint32_t colour) {
    auto* image = new CImage;
    (void)image->Create(width, height); // small test sizes
    CImNav(image).Fill(colour);
    return image;
}
