// The certificate's PDF renderer as the "Сертификат" button takes it; for the Qt program and its
// tools (needs qm7x_certificate_pdf and a QGuiApplication).
#pragma once

#include <utility>

#include "qm7x/certificate/pdf.h"
#include "qm7x/metrology/issue.h"

namespace qm7x::app {

inline metrology::Draw PdfDrawer() {
    return [](const certificate::Certificate& c) {
        auto pdf = certificate::RenderPdf(c);
        return metrology::Drawn{std::move(pdf.bytes), pdf.pages, std::move(pdf.sha256_hex),
                                std::move(pdf.error)};
    };
}

}  // namespace qm7x::app
