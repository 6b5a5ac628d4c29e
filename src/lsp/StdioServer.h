#pragma once
// `xsc lsp`: the language server on standard input and output, for one workspace, until the
// client sends exit or closes the input.
//
// The loop is Qt's event loop: a reader thread takes standard input as it arrives (the same code
// on every system: a pipe cannot be watched for reading on Windows) and hands each piece to the
// loop, which frames and handles the messages in order; the debounce of diagnostics is a timer of
// that loop, restarted by each change. Output is written and flushed message by message.

namespace xsc::lsp {

// Returns the process's exit code.
int RunStdioServer();

}  // namespace xsc::lsp
