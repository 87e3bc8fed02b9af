// Stand-in for the version reader's overwrite types until they land; removed
// at that merge.
#pragma once

namespace setup {

enum TOverwriteType { owAlways, owNever, owVersion, owDate, owVersionDate };

}  // namespace setup
