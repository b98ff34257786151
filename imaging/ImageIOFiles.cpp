// The facade's file forms: by file reference, by application-relative
// reference and by path. The file lives for the call and closes on every
// return. A written file is a whole new file: it replaces the old one only
// when the image was encoded and every byte was written.

#include "FileIO/StreamBytes.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "imaging/ImageIO.h"
#include "imaging/detail/ImageIOForms.h"

namespace {

template <class Ref, class Image> error ReadFile(Ref& ref, Image& image) {
    if (!ref.IsValid()) {
        return eBadParameter;
    }
    gCFile file;
    if (error e = file.Open(&ref, eAccessReadOnly)) {
        return e;
    }
    return imageio::Read(file, image);
}

template <class Ref, class Image> error WriteFile(Ref& ref, Image& image, uint32_t type) {
    // Refused before the file is created or emptied.
    if (!gCImageIO::IsWritableType(type)) {
        return eCreateFailed;
    }
    if (!ref.IsValid()) {
        return eBadParameter;
    }
    // Encoded in memory first: a codec failure then leaves the file alone.
    gCMemFile encoded;
    if (error e = imageio::Write(encoded, image, type)) {
        return e;
    }
    gCFile file;
    if (error e = file.Open(&ref, eAccessWholeNew)) {
        return e;
    }
    if (error e =
            streambytes::Write(file, encoded.GetMemBlock()->GetData(), size_t(encoded.Length()))) {
        return e;
    }
    return file.Close();
}

} // namespace

error gCImageIO::ReadImage(gCFRef& ref, CImage& image) {
    return ReadFile(ref, image);
}

error gCImageIO::ReadImage(gCFRef& ref, CImage8& image) {
    return ReadFile(ref, image);
}

error gCImageIO::ReadImage(gCFRelative& ref, CImage& image) {
    return ReadFile(ref, image);
}

error gCImageIO::ReadImage(gCFRelative& ref, CImage8& image) {
    return ReadFile(ref, image);
}

error gCImageIO::ReadImage(const gCString& path, CImage& image) {
    gCFRelative ref(path);
    return ReadFile(ref, image);
}

error gCImageIO::ReadImage(const gCString& path, CImage8& image) {
    gCFRelative ref(path);
    return ReadFile(ref, image);
}

error gCImageIO::WriteImage(gCFRef& ref, CImage& image, uint32_t type) {
    return WriteFile(ref, image, type);
}

error gCImageIO::WriteImage(gCFRef& ref, CImage8& image, uint32_t type) {
    return WriteFile(ref, image, type);
}

error gCImageIO::WriteImage(gCFRelative& ref, CImage& image, uint32_t type) {
    return WriteFile(ref, image, type);
}

error gCImageIO::WriteImage(gCFRelative& ref, CImage8& image, uint32_t type) {
    return WriteFile(ref, image, type);
}

error gCImageIO::WriteImage(const gCString& path, CImage& image, uint32_t type) {
    gCFRef ref(path);
    return WriteFile(ref, image, type);
}

error gCImageIO::WriteImage(const gCString& path, CImage8& image, uint32_t type) {
    gCFRef ref(path);
    return WriteFile(ref, image, type);
}
