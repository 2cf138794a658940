// What the hosts people use really do around a filter plug-in, as their public sources
// show it, in terms of the test host's switches and behaviours.
#include "HostProfiles.h"

#include <limits>

namespace {

constexpr OSType kGimpSignature = 0x504D4947;      // 'PMIG', bytes "GIMP"
constexpr OSType kPaintNetSignature = 0x4E44502E;  // 'NDP.', bytes ".PDN"
constexpr OSType kPspiHostSignature = 0x4F487073;  // 'OHps', bytes "spHO"
constexpr OSType kPhotoshopSignature = 0x3842494D; // '8BIM'

// GIMP's PSPI: a new process per use; Repeat is a new process too.
void PlayGimp(HostOptions& o) {
    HostBehaviour& b = o.behaviour;
    b.slot32 = true;
    b.sizesAtParameters = false;
    b.lateStore = true;
    b.refillFromOriginal = true;
    b.packedRows = true;
    b.columnBytes = false;
    b.readsInputRate = false;
    b.finishAfterSuccess = false;
    b.finishAfterContinueError = true;
    b.alphaPlane = true;
    b.eightBitOnly = true;
    b.hostSig = kGimpSignature;
    b.maxSpace = 100000000;
    b.filterCase = 0;
    o.nullWindow = true;
    o.bigDocument = false;
    o.basicSuite = false;
}

// Paint.NET's PSFilterPdn: a layer with editable transparency, in 8-bit RGB only.
void PlayPaintNet(HostOptions& o) {
    HostBehaviour& b = o.behaviour;
    b.reloadEachRun = true;
    b.disposeSlotAfterRun = true;
    b.lateStore = true;
    b.packedRows = true;
    b.loop = eLoopInOutOrMask;
    b.finishAfterContinueError = true;
    b.rgbOnly = true;
    b.eightBitOnly = true;
    b.poisonRecordTail = true;
    b.hostSig = kPaintNetSignature;
    b.maxSpace = 1 << 30;
    b.filterCase = 4;
    o.planes = 4;
    o.layerPlanesGiven = true;
    o.inLayerPlanes = o.outLayerPlanes = 3;
    o.bigDocument = false;
}

// pspiHost, the host library behind PhotoDemon among others: it keeps the module loaded.
void PlayPspiHost(HostOptions& o) {
    HostBehaviour& b = o.behaviour;
    b.parametersEveryRun = true;
    b.freshSlotEachRun = true;
    b.lateStore = true;
    b.packedRows = true;
    b.columnBytes = false;
    b.loop = eLoopRightNotZero;
    b.advanceAfterFinish = true;
    b.inertSizeProcs = true;
    b.eightBitOnly = true;
    b.hostSig = kPspiHostSignature;
    b.maxSpace = std::numeric_limits<std::int32_t>::max();
    o.bigDocument = false;
    o.basicSuite = false;
}

// A host with the big-document block that serves every depth and, once the plug-in asks
// for 32-bit coordinates, reads only the 32-bit rectangles; it commits the output at each
// request and fills the buffers from the document as it was before the run.
void PlayBigDocument(HostOptions& o) {
    HostBehaviour& b = o.behaviour;
    b.lateStore = true;
    b.refillFromOriginal = true;
    b.hostSig = kPhotoshopSignature;
    o.bigDocument = true;
    o.coords16 = false;
}

struct Profile {
    const char* name;
    void (*play)(HostOptions&);
    const char* help;
};

const Profile kProfiles[] = {
    {"gimp", PlayGimp,
     "GIMP's PSPI. The data slot is kept in 4 bytes (in a 64-bit host too) and "
     "printed after parameters as 'filterhost: saved data slot <value>' for a repeat "
     "(--repeat-slot); parameters sees size, planes, filterRect and mode 0; no window "
     "(hwnd 0), no basic suite, no big-document block; 8-bit only, planes = the layer's "
     "bytes per pixel (one alpha plane: 4 for RGB), filterCase 0; inputRate, "
     "inColumnBytes and outColumnBytes 0, packed rows; new buffers at every request, "
     "both filled from the document as it was before the run; output stored only at the "
     "next advanceState and once after the loop; no finish after a successful run, "
     "finish after a failed continue; hostSig 'PMIG', maxSpace 100000000."},
    {"paintnet", PlayPaintNet,
     "Paint.NET's PSFilterPdn. The module is loaded for each run and unloaded "
     "after it, then the host disposes of the handle in the data slot and starts the next "
     "run with an empty slot; parameters in the first run only (later runs are Repeat); "
     "8-bit RGB only, planes 4 with layer planes 3 (filterCase 4), packed rows; loops "
     "while inRect, outRect or maskRect is not empty (no mask offered); output stored at "
     "the next advanceState and once after the loop; finish after a failed continue; "
     "-50 for a request outside the image; no big-document block, the record's bytes "
     "beyond its 6.0 fields garbage; hostSig 'NDP.', maxSpace 1 GiB."},
    {"pspihost", PlayPspiHost,
     "pspiHost. Parameters in every run and a fresh empty data slot in every "
     "run, with the module kept loaded; loops while the right edge of inRect or outRect "
     "is not 0; after the loop finish, then one more advanceState, which stores the last "
     "output; getSizeProc answers 0 for its handles, setSizeProc, disposeProc and "
     "unlockProc do nothing; 8-bit only, packed rows, column bytes 0; no basic suite, no "
     "big-document block; hostSig 'OHps'."},
    {"bigdoc", PlayBigDocument,
     "A host with the big-document block that serves 8, 16 and 32 bits and reads "
     "only the 32-bit rectangles once the plug-in asks for them; output stored at the next "
     "advanceState, buffers filled from the document as it was before the run; the module "
     "and the data slot kept between runs; hostSig '8BIM'."},
};

} // namespace

bool ApplyHostProfile(const std::string& name, HostOptions& options) {
    for (const Profile& profile : kProfiles) {
        if (name == profile.name) {
            options.behaviour = HostBehaviour{};
            options.behaviour.profile = name;
            profile.play(options);
            return true;
        }
    }
    return false;
}

std::vector<std::pair<std::string, std::string>> HostProfileTexts() {
    std::vector<std::pair<std::string, std::string>> texts;
    for (const Profile& profile : kProfiles)
        texts.emplace_back(profile.name, profile.help);
    return texts;
}
