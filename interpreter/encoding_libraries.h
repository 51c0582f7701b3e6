// The interpreter's encodings and converters outside its core, found without
// the load path.
#pragma once

namespace kestrel {

// Makes every encoding and converter library in the folder from which the
// interpreter loaded its encoding database known to the interpreter under the
// name by which it asks for it, so that it loads the library the first time
// it needs it although the load path is empty. Libraries are loaded only
// then: starting costs a listing of two folders. Where the interpreter has its
// encodings built in there is no such folder and nothing to do. Raises inside
// the interpreter when it runs out of memory: call it under protection.
void RegisterEncodingLibraries();

}  // namespace kestrel
