// The search of VISA resources for the carriers the program can drive: TRHOLDR modules in a VXI
// crate and Vektrum boxes reached over LXI or USB.
#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "qm7x/app/fixed_text.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/vektrum_idn.h"
#include "qm7x/os/encoding.h"
#include "qm7x/visa/visa.h"

namespace qm7x::app {
namespace {

namespace visa = qm7x::visa;

inline constexpr ViUInt16 kManufacturerArkometrix = 0xE76;
inline constexpr ViUInt16 kSlotLimit = 13;  // slots 0..12 exist in a crate
inline constexpr ViUInt32 kIdnLockTimeoutMs = 2000;
inline constexpr std::size_t kIdnReplySize = 256;

// Reads an attribute of the width `Value` through a buffer wide enough for any attribute, so a
// library that writes a wider value than the standard type cannot overrun the variable.
template <typename Value>
ViStatus getAttribute(ViObject vi, ViAttr attribute, Value& value) {
    ViAttrState buffer = 0;
    const ViStatus status = visa::viGetAttribute(vi, attribute, &buffer);
    std::memcpy(&value, &buffer, sizeof value);
    return status;
}

// The VISA objects the search opens; whatever is open is closed when the search ends, in the
// order search handle, resource, resource manager.
struct SearchObjects {
    ViSession resourceManager = VI_NULL;
    ViFindList findList = VI_NULL;
    ViSession resource = VI_NULL;
    bool resourceManagerOpen = false;
    bool findListOpen = false;
    bool resourceOpen = false;

    void closeResource() {
        if (resourceOpen) {
            visa::viClose(resource);
            resourceOpen = false;
        }
    }
    ~SearchObjects() {
        if (findListOpen) {
            visa::viClose(findList);
        }
        closeResource();
        if (resourceManagerOpen) {
            visa::viClose(resourceManager);
        }
    }
};

// The list text of a VXI carrier, or nothing for a model that is not one of ours.
const char* vxiDescriptionFormat(ViUInt16 modelCode) {
    switch (modelCode) {
        case 0x10D:
            return "Н.М.  Л.А.крейта:0x%02X, слот:%d\n(%s)";
        case 0x155:
            return "Н.М.У.  Л.А.крейта:0x%02X, слот:%d\n(%s)";
        case 0x177:
            return "Н.М.М.  Л.А.крейта:0x%02X, слот:%d\n(%s)";
        default:
            return nullptr;
    }
}

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

// A VXI module: described when it is a carrier of ours in a valid slot.
bool describeVxiCarrier(ViSession vi, const char* rsrcName, InstrRecord& record) {
    ViUInt16 slot = 0;
    if (getAttribute(vi, VI_ATTR_SLOT, slot) != VI_SUCCESS || slot >= kSlotLimit) {
        return false;
    }
    ViUInt16 manufacturer = 0;
    getAttribute(vi, VI_ATTR_MANF_ID, manufacturer);
    if (manufacturer != kManufacturerArkometrix) {
        return false;
    }
    record.slot = slot;
    CopyToField(record.rsrcName, rsrcName);
    getAttribute(vi, VI_ATTR_MAINFRAME_LA, record.mainframeLA);
    getAttribute(vi, VI_ATTR_VXI_LA, record.logicalAddr);
    getAttribute(vi, VI_ATTR_MODEL_CODE, record.modelCode);
    record.modelCode &= 0x0FFFU;
    const char* pattern = vxiDescriptionFormat(record.modelCode);
    if (pattern == nullptr) {
        return false;
    }
    CopyToField(record.descr,
                format(pattern, unsigned{record.mainframeLA}, int{record.slot}, record.rsrcName));
    return true;
}

// A LAN or USB resource: described when it answers the identification query as a Vektrum box.
bool describeVektrumBox(ViSession vi, const char* rsrcName, InstrRecord& record) {
    CopyToField(record.rsrcName, rsrcName);
    std::array<ViChar, kIdnReplySize> reply{};
    visa::viLock(vi, VI_EXCLUSIVE_LOCK, kIdnLockTimeoutMs, VI_NULL, VI_NULL);
    visa::viClear(vi);
    const ViStatus status = visa::viQueryf(vi, "*IDN?\n", "%t", reply);
    visa::viUnlock(vi);
    if (status < VI_SUCCESS) {
        return false;
    }
    const auto idn = ParseVektrumIdn(reply.data());
    if (!idn) {
        return false;
    }
    const std::string serial = os::FromCp1251(idn->serial);
    CopyToField(record.serial, serial);
    CopyToField(record.firmware, os::FromCp1251(idn->firmware));
    if (record.intfType == VI_INTF_TCPIP) {
        std::array<ViChar, VI_FIND_BUFLEN + 1> address{};
        visa::viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, address.data());
        address.back() = '\0';
        CopyToField(record.descr,
                    format("Vektrum, LXI (%s, №:%s)", address.data(), serial.c_str()));
    } else {
        CopyToField(record.descr, format("Vektrum, USB (№:%s)", serial.c_str()));
    }
    record.modelCode = kModelVektrum;
    record.slot = kSlotVektrum;
    return true;
}

// Opens one resource and describes it into `record`; true when it is a carrier of ours.
bool describeResource(SearchObjects& objects, const char* rsrcName, InstrRecord& record) {
    objects.resource = VI_NULL;
    const ViStatus opened =
        visa::viOpen(objects.resourceManager, rsrcName, VI_NO_LOCK, 0, &objects.resource);
    // A warning still opens the resource: it is closed, but the resource is not used.
    objects.resourceOpen = opened >= VI_SUCCESS && objects.resource != VI_NULL;
    if (opened != VI_SUCCESS) {
        return false;
    }
    getAttribute(objects.resource, VI_ATTR_INTF_TYPE, record.intfType);
    switch (record.intfType) {
        case VI_INTF_VXI:
        case VI_INTF_GPIB_VXI:
            return describeVxiCarrier(objects.resource, rsrcName, record);
        case VI_INTF_TCPIP:
        case VI_INTF_USB:
            return describeVektrumBox(objects.resource, rsrcName, record);
        default:
            return false;
    }
}

}  // namespace

int FindVISAinstruments() {
    Instruments = {};
    SearchObjects objects;
    ViStatus status = visa::viOpenDefaultRM(&objects.resourceManager);
    if (status < VI_SUCCESS) {
        return status;
    }
    objects.resourceManagerOpen = true;

    std::array<ViChar, VI_FIND_BUFLEN + 1> rsrcName{};  // room for a terminator
    ViUInt32 matches = 0;
    status = visa::viFindRsrc(objects.resourceManager, "?*INSTR", &objects.findList, &matches,
                              rsrcName.data());
    if (status < VI_SUCCESS) {
        return status;
    }
    objects.findListOpen = true;
    rsrcName.back() = '\0';

    std::vector<InstrRecord> found;
    try {
        found.resize(kMaxInstruments);
    } catch (const std::bad_alloc&) {
        return VI_ERROR_ALLOC;
    }

    std::size_t described = 0;
    for (ViUInt32 match = 0; match < matches; ++match) {
        // More carriers than the list holds are not described; the search still runs to its end.
        if (described < found.size()) {
            InstrRecord& record = found[described];
            record = {};  // nothing left over from a resource that was not ours
            if (describeResource(objects, rsrcName.data(), record)) {
                ++described;
            } else {
                record = {};
            }
        }
        objects.closeResource();
        if (match + 1 < matches) {
            rsrcName.fill('\0');
            status = visa::viFindNext(objects.findList, rsrcName.data());
            if (status < VI_SUCCESS) {
                return status;  // nothing found so far is retained
            }
            rsrcName.back() = '\0';
        }
    }

    int kept = 0;
    for (std::size_t i = 0; i < described; ++i) {
        if (found[i].slot != 0) {
            Instruments[static_cast<std::size_t>(kept)] = found[i];
            Instruments[static_cast<std::size_t>(kept)].session = 0;
            ++kept;
        }
    }
    return kept;
}

}  // namespace qm7x::app
