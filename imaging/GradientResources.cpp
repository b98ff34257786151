// Gradients from 'grad' resource blocks and in their stream form.

#include <cmath>
#include <utility>

#include "FileIO/ResourceLoading.h"
#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCStream.h"
#include "imaging/Gradient.h"
#include "imaging/detail/ShowFailure.h"

namespace {

constexpr uint32_t kStreamVersion = 1;

// A position that is not a finite number becomes a stop's default, 0.
float FinitePosition(float p) {
    return std::isfinite(p) ? p : 0.0f;
}

} // namespace

error CGradient::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    const error e = LocateFromRes(id, file, index);
    return e != eNoError ? e : SetFromResData(file);
}

error CGradient::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    const error e = LocateFromRes(name, file, index);
    return e != eNoError ? e : SetFromResData(file);
}

error CGradient::SetFromResData(gCFile* file) {
    // The stops are kept aside and put back when the block fails part way.
    gCArray<CGradientPoint> before;
    if (before.Copy(m_aStops) != eNoError) {
        return eOutOfMemory;
    }
    const error e = AddStopsFrom(file);
    if (e != eNoError) {
        m_aStops = std::move(before);
        m_fDirty = 1;
    }
    return e;
}

error CGradient::AddStopsFrom(gCFile* file) {
    int32_t count = 0;
    // A stop is a colour and a position: 8 bytes.
    error e = ReadPayloadCount(file, count, 8);
    if (e != eNoError) {
        ShowFailure(eResourceReadError, "Error reading number of gradient items.");
        return e;
    }
    for (int32_t i = 0; i < count; ++i) {
        uint32_t colour = 0;
        float position = 0.0f;
        if ((e = file->ReadUint32(colour)) != eNoError) {
            ShowFailure(eResourceReadError, "Error reading gradient point colour.");
            return e;
        }
        if ((e = file->ReadReal(position)) != eNoError) {
            ShowFailure(eResourceReadError, "Error reading gradient position.");
            return e;
        }
        if (AddPoint(CPixel(colour), FinitePosition(position)) < 0) {
            ShowFailure(eResourceReadError, "Error adding gradient point.");
            return eResourceReadError;
        }
    }
    return eNoError;
}

error CGradient::Read(gCStream* stream) {
    if (!stream) {
        return eBadParameter;
    }
    uint32_t type = 0, version = 0;
    error e = stream->ReadUint32(type);
    if (e == eNoError) {
        e = stream->ReadUint32(version);
    }
    if (e != eNoError) {
        return e;
    }
    if (type != GetResType() || version != kStreamVersion) {
        return eBadParameter;
    }
    int32_t flag16 = 0, mode = 0, count = 0;
    if ((e = stream->ReadFlag(flag16)) != eNoError || (e = stream->ReadInt32(mode)) != eNoError ||
        (e = stream->ReadInt32(count)) != eNoError) {
        return e;
    }
    // Each stop takes 8 bytes: a count the stream cannot hold is damaged.
    const int64_t left = stream->Length() - stream->GetFilePos();
    if (count < 0 || int64_t(count) * 8 > left) {
        return eFileReadWriteError;
    }
    // Read whole before anything changes.
    gCArray<CGradientPoint> stops;
    if ((e = stops.SetSize(count)) != eNoError) {
        return e;
    }
    for (int32_t i = 0; i < count; ++i) {
        float position = 0.0f;
        uint32_t colour = 0;
        if ((e = stream->ReadReal(position)) != eNoError ||
            (e = stream->ReadUint32(colour)) != eNoError) {
            return e;
        }
        stops[i].SetPoint(CPixel(colour), FinitePosition(position));
    }
    m_aStops = std::move(stops);
    m_f16Bit = flag16;
    m_nMode = mode;
    m_fDirty = 1;
    return eNoError;
}

error CGradient::Write(gCStream* stream) {
    if (!stream) {
        return eBadParameter;
    }
    error e;
    if ((e = stream->WriteUint32(GetResType())) != eNoError ||
        (e = stream->WriteUint32(kStreamVersion)) != eNoError ||
        (e = stream->WriteFlag(m_f16Bit)) != eNoError ||
        (e = stream->WriteInt32(m_nMode)) != eNoError ||
        (e = stream->WriteInt32(m_aStops.GetSize())) != eNoError) {
        return e;
    }
    for (const CGradientPoint& stop : m_aStops) {
        if ((e = stream->WriteReal(stop.position)) != eNoError ||
            (e = stream->WriteUint32(uint32_t(stop.colour))) != eNoError) {
            return e;
        }
    }
    return eNoError;
}

CGradient* CGradient::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CGradient>(id, file, index, CPixel(0xFF000000u), CPixel(0xFFFFFFFFu));
}

CGradient* CGradient::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return CreateFromResource<CGradient>(name, file, index, CPixel(0xFF000000u),
                                         CPixel(0xFFFFFFFFu));
}
