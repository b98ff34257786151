// Construction by type code.

#include "widgets/WidgetConstructor.h"

#include <memory>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/FrameWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/MaskWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/ShadWidget.h"
#include "widgets/Widget.h"

namespace {

constexpr const char* kNoName = "No res name in widget constructor.";

struct SWidgetClass {
    uint32_t type;
    CWidgetConstructor::LoadByNameProc byName;
    CWidgetConstructor::LoadByIdProc byId;
    const char* failed;
};

template <class T> CWidget* LoadByName(const gCString& name, gCFile* file) {
    return T::CreateFromRes(name, file, nullptr);
}
template <class T> CWidget* LoadById(int32_t id, gCFile* file, gCResourceIndex* index) {
    return T::CreateFromRes(id, file, index);
}
template <class T> constexpr SWidgetClass Entry(uint32_t type, const char* failed) {
    return {type, &LoadByName<T>, &LoadById<T>, failed};
}

// The constructible classes. A class joins when it is built.
constexpr SWidgetClass kClasses[] = {
    Entry<CWidget>(kWidgetTypeID, "Widget Constructor widget create failed."),
    Entry<CCoWidget>(kCoWidgetTypeID, "Widget Constructor cowidget create failed."),
    Entry<CFrameWidget>(kFrameWidgetTypeID, "Widget Constructor framewidget create failed."),
    Entry<CImWidget>(kImWidgetTypeID, "Widget Constructor imwidget create failed."),
    Entry<CRoRectWidget>(kRoRectWidgetTypeID, "Widget Constructor rorectwidget create failed."),
    Entry<CShadWidget>(kShadWidgetTypeID, "Widget Constructor shadwidget create failed."),
    Entry<CMaskWidget>(kMaskWidgetTypeID, "Widget Constructor maskwidget create failed."),
    Entry<CBackdrop>(kBackdropTypeID, "Widget Constructor backdrop create failed."),
};

// The classes of higher layers, as they registered.
constexpr int32_t kMostRegistered = 8;
SWidgetClass gRegistered[kMostRegistered] = {};

const SWidgetClass* ClassOf(int32_t type) {
    for (const SWidgetClass& entry : kClasses) {
        if (entry.type == uint32_t(type)) {
            return &entry;
        }
    }
    for (const SWidgetClass& entry : gRegistered) {
        if (entry.byName && entry.type == uint32_t(type)) {
            return &entry;
        }
    }
    return nullptr;
}

gCFile* ResFileOr(gCFile* file) {
    if (file) {
        return file;
    }
    CAppServices* app = CAppServices::Get();
    return app ? app->GetResFile() : nullptr;
}

template <class Load>
CWidget* ConstructWith(int32_t type, CWidget* parent, gCFile* file, Load load) {
    const SWidgetClass* entry = ClassOf(type);
    if (!entry) {
        (void)ReportError(eCreateFailed, "Unrecognised type in widget constructor."); // shown
        return nullptr;
    }
    std::unique_ptr<CWidget> widget(load(*entry, ResFileOr(file)));
    if (!widget) {
        (void)ReportError(eCreateFailed, entry->failed); // shown
        return nullptr;
    }
    if (parent) {
        // A refused child stays ours and is deleted here.
        const error e = parent->AddChild(widget.get(), 0);
        if (e != eNoError) {
            (void)ReportError(e, "Widget Constructor parent add failed."); // shown
            return nullptr;
        }
    }
    return widget.release();
}

} // namespace

CWidget* CWidgetConstructor::Construct(const gCString& name, int32_t type, CWidget* parent,
                                       gCFile* file) {
    if (name.GetLength() == 0) {
        (void)ReportError(eBadParameter, kNoName); // shown
        return nullptr;
    }
    return ConstructWith(type, parent, file, [&](const SWidgetClass& entry, gCFile* f) {
        return entry.byName(name, f);
    });
}

CWidget* CWidgetConstructor::Construct(int32_t id, int32_t type, CWidget* parent, gCFile* file) {
    return ConstructWith(type, parent, file, [&](const SWidgetClass& entry, gCFile* f) {
        return entry.byId(id, f, nullptr);
    });
}

error CWidgetConstructor::RegisterClass(int32_t type, LoadByNameProc byName, LoadByIdProc byId,
                                        const char* failed) {
    if (!byName || !byId || !failed) {
        return eBadParameter;
    }
    for (const SWidgetClass& entry : kClasses) {
        if (entry.type == uint32_t(type)) {
            return eBadParameter; // the toolkit's own classes stay as they are
        }
    }
    SWidgetClass* free = nullptr;
    for (SWidgetClass& entry : gRegistered) {
        if (entry.byName && entry.type == uint32_t(type)) {
            free = &entry; // registered again: the new loaders replace the old
            break;
        }
        if (!entry.byName && !free) {
            free = &entry;
        }
    }
    if (!free) {
        return eBadParameter;
    }
    *free = SWidgetClass{uint32_t(type), byName, byId, failed};
    return eNoError;
}

bool CWidgetConstructor::IsConstructible(int32_t type) {
    return ClassOf(type) != nullptr;
}

CWidget* CWidgetConstructor::Load(int32_t type, int32_t id, gCFile* file, gCResourceIndex* index) {
    const SWidgetClass* entry = ClassOf(type);
    return entry ? entry->byId(id, ResFileOr(file), index) : nullptr;
}

CWidget* CWidgetConstructor::ConstructFromName(const gCString& name, gCFile* file) {
    file = ResFileOr(file);
    if (!file) {
        return nullptr;
    }
    if (file->Rewind() != eNoError) {
        return nullptr;
    }
    if (name.GetLength() == 0) {
        (void)ReportError(eBadParameter, kNoName); // shown
        return nullptr;
    }
    constexpr const char* kInputError = "Widget construct input error";
    const int64_t length = file->Length();
    while (!file->FileEnd()) {
        int32_t type = 0;
        int32_t size = 0;
        error e = file->ReadInt32(type);
        if (e == eNoError) {
            e = file->ReadInt32(size);
        }
        const int64_t start = file->GetFilePos();
        if (e == eNoError && (size < 0 || start + size > length)) {
            e = eResourceReadError;
        }
        if (e != eNoError) {
            (void)ReportError(e, kInputError); // shown
            return nullptr;
        }
        if (uint32_t(type) != FourCC("vers")) {
            int32_t id = 0;
            gCString blockName;
            if ((e = file->ReadInt32(id)) != eNoError ||
                (e = ReadResBlockName(*file, start + size, blockName)) != eNoError) {
                (void)ReportError(e, kInputError); // shown
                return nullptr;
            }
            if (SameText(blockName, name) && blockName.GetLength() == name.GetLength()) {
                if (file->Rewind() != eNoError) {
                    return nullptr;
                }
                return Construct(name, type, nullptr, file);
            }
        }
        if (file->SetFilePos(start + size) != eNoError) {
            return nullptr;
        }
    }
    return nullptr;
}
