// Decoder counters of an opened file, for tests and measurements.
#pragma once

#include "platform/com/storage_interfaces.h"
#include "platform/itss/frame_decoder.h"

namespace vaskel::itss {

// Counters of the file behind `storage` (any storage this component returned); zero otherwise.
DecodeStatistics DecodeStatisticsOf(IStorage* storage);

}  // namespace vaskel::itss
