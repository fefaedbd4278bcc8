// Decoder counters of an opened file, for tests and measurements.
#pragma once

#include "platform/itss/frame_decoder.h"
#include "storage/storage_interfaces.h"

namespace vaskel::itss {

// Counters of the file behind `storage` (any storage this component returned); zero otherwise.
DecodeStatistics DecodeStatisticsOf(IStorage* storage);

}  // namespace vaskel::itss
