// The image file both file-reading backends (the hidraw one and the simulated bus) open by
// descriptor, without blocking: only a regular file is kept, so that a FIFO, a directory or a
// device node named like the image is refused with why.
#pragma once

#include <string>

namespace hidlink {

// `fd` as open() returned it. The descriptor when it names a regular file; otherwise -1, with
// *errorText saying why, *notFound set when no file is there, and the descriptor (if any) closed.
int KeepRegularFile(int fd, std::string* errorText, bool* notFound);

}  // namespace hidlink
