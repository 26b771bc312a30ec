// quarnel-cli patch: makes a BPS or IPS patch from an original ROM to an edited one, and
// applies a patch to a ROM into a new file.

#include "cli/CliSupport.h"
#include "cli/Commands.h"

#include "patch/Patches.h"

#include <ostream>

namespace quarnel::cli {

namespace {

constexpr const char* kUsage =
    "patch make ORIGINAL MODIFIED OUT.bps|OUT.ips | patch apply ROM PATCH OUT";

int RunPatch(const Arguments& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 4 && args[0] == "make") {
        auto made = MakePatchFile(args[1], args[2], args[3]);
        if (!made) {
            return ReportError(made.error(), err);
        }
        out << "wrote " << args[3] << " (" << *made << " bytes)\n";
        return 0;
    }
    if (args.size() == 4 && args[0] == "apply") {
        if (auto applied = ApplyPatchFile(args[1], args[2], args[3]); !applied) {
            return ReportError(applied.error(), err);
        }
        out << "wrote " << args[3] << "\n";
        return 0;
    }
    err << "quarnel-cli patch: usage: " << kUsage << "\n";
    return kExitUsage;
}

} // namespace

const Command kPatchCommand{"patch", kUsage,
                            "a BPS or IPS patch (by OUT's extension) from ORIGINAL to MODIFIED; or "
                            "PATCH applied to ROM, written to the new file OUT",
                            RunPatch};

} // namespace quarnel::cli
