#include "foundation/Alert.h"

#include <cstdio>

#include "foundation/AppServices.h"

void gShowAlert(std::string_view headline, std::string_view text) {
    if (CAppServices* app = CAppServices::Get()) {
        app->ShowAlert(headline, text);
        return;
    }
    std::fprintf(stderr, "%.*s\n%.*s\n", int(headline.size()), headline.data(), int(text.size()),
                 text.data());
}
