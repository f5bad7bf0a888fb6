// The module's side of the host interface described in console_web.cpp: the
// variables the host gives the game, and standard output and standard error
// as devices that hand every write of the C library to host.write, so that
// the game's output is flushed, buffered and refused exactly as natively.
// The C library writes from the signed view of the memory (HEAP8); the host
// gets the same bytes unsigned, as the interface promises, so that a byte of
// a UTF-8 character reads as 0xC3 rather than -61.
Module['preRun'] = [].concat(Module['preRun'] || []);
Module['preRun'].push(function takeHostEnvironment() {
  Object.assign(ENV, Module['host']['environment'] || {});
  addOnInit(connectStandardStreamsToHost);
});

function connectStandardStreamsToHost() {
  [1, 2].forEach(function (stream) {
    var device = FS.makedev(64, stream);
    FS.registerDevice(device, {
      write: function (file, buffer, offset, length) {
        try {
          Module['host']['write'](stream, new Uint8Array(buffer.buffer, buffer.byteOffset + offset, length));
        } catch (error) {
          throw new FS.ErrnoError(ERRNO_CODES[error && error.code] || ERRNO_CODES.EIO);
        }
        return length;
      },
    });
    var path = '/dev/host-stream-' + stream;
    FS.mkdev(path, 146 /* 0o222 */, device);
    FS.close(FS.getStream(stream));
    FS.open(path, 1 /* O_WRONLY */);  // the lowest free descriptor: this one
  });
}
