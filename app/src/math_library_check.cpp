#include "math_library_check.h"

#include <cstdint>
#include <memory>
#include <string>

#include "p_qm7x.h"
#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/integrity/file_info.h"
#include "qm7x/integrity/math_library.h"
#include "qm7x/integrity/path_search.h"
#include "qm7x/os/path_list.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/userint.h"

namespace qm7x::app {

void checkMathLibrary() {
    using namespace integrity;
    const std::string fileName(kMathLibraryFileName);
    std::string path;
    std::unique_ptr<PathList> search = FirstPathFname(os::CurrentDirectory(), fileName, path);
    if (search == nullptr) {
        return;  // found nowhere: nothing is shown
    }
    std::uint32_t storedCrc = 0;
    std::uint32_t computedCrc = 0;
    std::uint32_t fileCrc = 0;
    const int result = CheckFileInternalCRC32(path, storedCrc, computedCrc, &fileCrc);
    if (result == 1) {
        ui::MessagePopup("ВНИМАНИЕ!", "Некорректная контрольная сумма\nфайла " + fileName + "!");
    }
    if (result == 0 || result == 1) {
        std::string version;
        std::string date;
        GetFInfo(path, &version, &date, nullptr, nullptr);
        ui::SetCtrlVal(aboutPanel, ABOUT_CERT_MSG,
                       LibraryIdentificationLine(fileName, version, date, fileCrc));
    }
    ClosePathFName(search);
}

}  // namespace qm7x::app
