// The module's side of the host interface described in console_web.cpp: the
// variables the host gives the game, and standard output and standard error
// as devices that hand every write of the C library to host.write, so that
// the game's output is flushed, buffered and refused exactly as natively.
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
          Module['host']['write'](stream, buffer.subarray(offset, offset + length));
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
