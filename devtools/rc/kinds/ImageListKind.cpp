// 'imlt' and 'iml8' blocks: Int32 exclusive, Int32 count, then count image
// block names (UTF-16LE + LF CR).
//
//   - kind: imagelist       # or imagelist8
//     id: 20
//     name: frames
//     exclusive: true       # optional, false when absent
//     images: [logo, frame] # names of image blocks

#include <memory>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/Text.h"
#include "devtools/rc/kinds/SourceDump.h"
#include "imaging/ImageList.h"

namespace {

struct ImageListModel : BlockModel {
    bool exclusive = false;
    std::vector<std::string> names; // UTF-8
};

template <class List> class CImageListKind final : public CBlockKind {
public:
    CImageListKind(const char* name, uint32_t tag) : m_pName(name), m_Tag(tag) {}
    const char* Name() const override { return m_pName; }
    uint32_t Tag() const override { return m_Tag; }
    std::vector<const char*> Keys() const override { return {"exclusive", "images"}; }

    bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const override {
        auto model = std::make_unique<ImageListModel>();
        if (entry["exclusive"]) {
            std::string flag;
            if (!source.Scalar(entry, "exclusive", flag)) {
                return false;
            }
            if (flag != "true" && flag != "false") {
                source.Error(entry["exclusive"], "\"exclusive\" is true or false");
                return false;
            }
            model->exclusive = flag == "true";
        }
        const YAML::Node images = entry["images"];
        if (!images || !images.IsSequence()) {
            source.Error(images ? images : entry, "\"images\" must be a list of image names");
            return false;
        }
        for (const YAML::Node& n : images) {
            if (!n.IsScalar() || n.Scalar().empty()) {
                source.Error(n, "an image name must be a non-empty text");
                return false;
            }
            model->names.push_back(n.Scalar());
            source.Refer(kResImageTag, "image", n);
        }
        block.model = std::move(model);
        return true;
    }

    error Write(const ResourceBlock& block, gCStream& stream) const override {
        const ImageListModel& list = ModelOf<ImageListModel>(block);
        error e = eNoError;
        if ((e = stream.WriteInt32(list.exclusive ? 1 : 0)) != eNoError ||
            (e = stream.WriteInt32(int32_t(list.names.size()))) != eNoError) {
            return e;
        }
        for (const std::string& name : list.names) {
            if ((e = stream.WriteString(ToGString(name), 1)) != eNoError) {
                return e;
            }
        }
        return eNoError;
    }

    bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject& found,
                std::string& why) const override {
        const ImageListModel& list = ModelOf<ImageListModel>(block);
        int32_t exclusive = 0;
        int32_t count = 0;
        if (file.ReadInt32(exclusive) != eNoError || exclusive != (list.exclusive ? 1 : 0)) {
            return Mismatch(why, "its exclusive flag does not read back");
        }
        // A name is at least its line end: 4 bytes.
        if (found.ReadPayloadCount(&file, count, 4) != eNoError ||
            count != int32_t(list.names.size())) {
            return Mismatch(why, "its image count does not read back");
        }
        for (const std::string& name : list.names) {
            gCString read;
            if (file.ReadString(read) != eNoError) {
                return Mismatch(why, "the image name \"" + name + "\" cannot be read back");
            }
            DropLineEnd(read);
            if (!SameText(read, name)) {
                return Mismatch(why, "the image name \"" + name + "\" reads back differently");
            }
        }
        return true;
    }

    // The list must load every member it names; a raw block of this tag is
    // expected to load none.
    error Load(const ResourceBlock& block, gCFile& file, gCResourceIndex& index,
               std::string& why) const override {
        const auto* model = dynamic_cast<const ImageListModel*>(block.model.get());
        const size_t expected = model ? model->names.size() : 0;
        List list(1);
        const error e = list.GetFromRes(block.id, &file, &index);
        if (e == eNoError && size_t(list.GetCount()) != expected) {
            why = "the image list loads " + std::to_string(list.GetCount()) + " images";
            return eResourceReadError;
        }
        return e;
    }

    bool DumpSource(uint32_t, int32_t id, const std::string& name, gCFile& file, int64_t end,
                    std::ostream& out) const override {
        int32_t exclusive = 0;
        int32_t count = 0;
        if (file.ReadInt32(exclusive) != eNoError || (exclusive != 0 && exclusive != 1) ||
            file.ReadInt32(count) != eNoError || count < 0 ||
            int64_t(count) * 4 > end - file.GetFilePos()) {
            return false;
        }
        out << "  - kind: " << m_pName << "\n    id: " << id << "\n    name: " << DumpQuoted(name)
            << "\n    exclusive: " << (exclusive ? "true" : "false") << "\n    images: [";
        for (int32_t i = 0; i < count; ++i) {
            std::string image;
            if (!ReadDumpName(file, end, image) || image.empty()) {
                return false;
            }
            out << (i ? ", " : "") << DumpQuoted(image);
        }
        out << "]\n";
        return file.GetFilePos() == end;
    }

private:
    const char* m_pName;
    uint32_t m_Tag;
};

} // namespace

const CBlockKind& ImageListKind() {
    static const CImageListKind<gCImageList> kind("imagelist", kResImageListTag);
    return kind;
}

const CBlockKind& ImageList8Kind() {
    static const CImageListKind<gCImageList8> kind("imagelist8", kResImageList8Tag);
    return kind;
}
