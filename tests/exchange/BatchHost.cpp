// The in-process batch host.
#include "BatchHost.h"

#include "convert/IConvertBuffer.h"
#include "core/FileAccess.h"
#include "exchange/FilterAccess.h"

BatchHost* BatchHost::current = nullptr;

BatchHost::BatchHost(std::int16_t mode, std::int32_t depth, std::int16_t planes, std::int32_t rows,
                     std::int32_t columns)
    : height(rows), width(columns), channels(planes), bytesPerSample(depth / 8) {
    fake.SetDocument(mode, depth, planes, rows, columns);
    fake.big.PluginUsing32BitCoordinates = 1;
    fake.record.advanceState = AdvanceState;
    fake.record.abortProc = Abort;
    input.assign(static_cast<std::size_t>(RowBytes()) * static_cast<std::size_t>(rows), 0);
    output = input;
    InitialisePluginState(state);
    state.filterRecord = &fake.record;
    state.hostResult = &fake.result;
    current = this;
}

BatchHost::~BatchHost() {
    CloseFile(state.exportFile);
    CloseFile(state.processedFile);
    delete state.converter;
    current = nullptr;
}

OSErr HOST_API BatchHost::AdvanceState() {
    BatchHost& host = *current;
    FilterRecord& record = host.fake.record;
    const bool big = UsesBigCoordinates(&record);
    const auto widen = [](const Rect& r) { return VRect{r.top, r.left, r.bottom, r.right}; };
    BatchRequest request{big ? host.fake.big.inRect32 : widen(record.inRect),
                         big ? host.fake.big.outRect32 : widen(record.outRect),
                         record.inLoPlane,
                         record.inHiPlane,
                         record.outLoPlane,
                         record.outHiPlane,
                         record.inputRate,
                         record.maskRate};
    host.requests.push_back(request);
    if (static_cast<std::int32_t>(host.requests.size()) == host.failRequest)
        return host.failCode;
    const auto offset = [&host](const VRect& r) {
        return (static_cast<std::size_t>(r.top) * static_cast<std::size_t>(host.width) +
                static_cast<std::size_t>(r.left)) *
               static_cast<std::size_t>(host.channels * host.bytesPerSample);
    };
    record.inData = host.input.data() + offset(request.in);
    record.inRowBytes = host.inRowBytes != -1 ? host.inRowBytes : host.RowBytes();
    record.outData = host.output.data() + offset(request.out);
    record.outRowBytes = host.outRowBytes != -1 ? host.outRowBytes : host.RowBytes();
    return 0;
}

Boolean HOST_API BatchHost::Abort() {
    return current->abortAfter >= 0 &&
           static_cast<std::int32_t>(current->requests.size()) >= current->abortAfter;
}
