#include "platform/itss/itss_diagnostics.h"

#include "platform/itss/itss_storage.h"

namespace vaskel::itss {

DecodeStatistics DecodeStatisticsOf(IStorage* storage) {
  const auto* ours = dynamic_cast<const ItssStorage*>(storage);
  return ours ? ours->archive().decode_statistics() : DecodeStatistics{};
}

}  // namespace vaskel::itss
