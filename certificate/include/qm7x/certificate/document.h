// The certificate's text as the rich-text subset of HTML that Qt's text document reads: headings,
// paragraphs and tables, with every text from the records escaped. Page furniture (the number and
// "страница n из N" on every page) is the renderer's, since only it knows the pages.
#pragma once

#include <string>

#include "qm7x/certificate/model.h"

namespace qm7x::certificate {

std::string DocumentHtml(const Certificate& certificate);

// The line at the foot of every page: "Сертификат № <number>, страница <n> из <N>".
std::string PageFooter(const Certificate& certificate, int page, int pages);

}  // namespace qm7x::certificate
