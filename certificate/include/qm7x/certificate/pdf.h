// The certificate drawn as a PDF (PDF/A-1b) with Qt's text document and PDF writer: A4, the
// certificate's number and "страница n из N" at the foot of every page. Needs a
// QGuiApplication (fonts); headless, the offscreen platform serves.
#pragma once

#include <string>

#include "qm7x/certificate/model.h"

namespace qm7x::certificate {

struct RenderedPdf {
    std::string bytes;
    int pages = 0;
    std::string sha256_hex;  // of bytes, lower-case hex: what the certificate's record keeps
    std::string error;       // why nothing was drawn (empty when bytes hold the PDF)
};

RenderedPdf RenderPdf(const Certificate& certificate);

}  // namespace qm7x::certificate
