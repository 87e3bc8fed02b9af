// The framework's byte streams and local date-times, under the names the page
// store has always used for them.
#pragma once

#include "framework/streams/byte_stream.h"
#include "framework/streams/date_time.h"

namespace report {

using fw::ByteStream;
using fw::DateTimeFromParts;
using fw::LoadInt32;
using fw::LocalClock;
using fw::LocalTimeParts;
using fw::MemoryStream;
using fw::SeekOrigin;
using fw::StoreInt32;
using fw::StreamError;

}  // namespace report
