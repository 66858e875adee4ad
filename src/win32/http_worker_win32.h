#pragma once
// One transfer, on a worker thread of the WinHTTP transport: the request and the redirects it
// follows itself, the answer judged (a page is not a picture, a resumed part must be the same
// file), and the body streamed to the part, which takes the file's name once it is whole. A
// probe reads the first bytes of the answer and writes nothing.
#include "win32/http_transfer_state_win32.h"

namespace velnor {

TransferResult RunTransfer(WinHttpTransfer::Shared& shared, Transfer& transfer);

}  // namespace velnor
