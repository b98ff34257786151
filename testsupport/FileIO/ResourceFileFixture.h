#pragma once
// A resource file that a test writes on its temporary volume
// ("HD:system.vrf"), opened, indexed and handed to the fake application as
// its resource file and index.

#include <string>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/TempVolume.h"

class ResourceFileFixture : public TempVolume {
protected:
    // The file is closed (when open) before the volume goes.
    void TearDown() override;

    // Writes bytes as the file, closing one installed before, then opens
    // and indexes it and makes it the application's.
    void InstallResourceFile(const std::string& bytes);

    CFakeResourceServices app;
    gCFile file;
    gCResourceIndex index;
};
