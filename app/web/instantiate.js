// The module sits in the page as a data: address. The loader would fetch it
// from there first, which the page's policy refuses (and logs): it is
// compiled from its decoded bytes instead.
Module["instantiateWasm"] = function (imports, receive) {
  WebAssembly.instantiate(getBinary(wasmBinaryFile), imports).then(function (result) {
    receive(result["instance"]);
  }, readyPromiseReject);
  return {};
};
