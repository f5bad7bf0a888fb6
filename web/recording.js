// The recording of a game as it was seen: everything written to the
// terminal, with the time it was written, saved as an asciicast v2 file (a
// JSON header with the terminal's size and the start's time, then one
// [seconds, "o", text] event a line), which asciinema's players show. The
// terminal turns the game's line ends into CR LF; the recording holds them
// as shown. A recording stops growing at MostRecordedCharacters and says so
// at its end.

export const MostRecordedCharacters = 32 * 1024 * 1024;

// The asciicast v2 text of a recording.
export function asciicast({ width, height, timestamp, events }) {
  const header = JSON.stringify({ version: 2, width, height, timestamp });
  const lines = events.map(([seconds, text]) => JSON.stringify([Number(seconds.toFixed(6)), 'o', text]));
  return [header, ...lines].join('\n') + '\n';
}

export class Recording {
  constructor(now = () => performance.now(), clock = () => Date.now()) {
    this.now = now;
    this.startedAt = now();
    this.timestamp = Math.floor(clock() / 1000);
    this.events = [];
    this.characters = 0;
    this.full = false;
  }

  add(text) {
    if (this.full || text === '') return;
    const shown = text.replace(/\r?\n/g, '\r\n');
    const seconds = (this.now() - this.startedAt) / 1000;
    if (this.characters + shown.length > MostRecordedCharacters) {
      this.full = true;
      this.events.push([seconds, '\r\n[The recording stops here: it holds as much as a recording can.]\r\n']);
      return;
    }
    this.characters += shown.length;
    this.events.push([seconds, shown]);
  }

  // The recording as a .cast file for a terminal of this size.
  text(width, height) {
    return asciicast({ width, height, timestamp: this.timestamp, events: this.events });
  }
}

// Records every write to the terminal into the recording record() gives.
export function recordWrites(terminal, record) {
  const write = terminal.write.bind(terminal);
  terminal.write = (data, callback) => {
    record()?.add(typeof data === 'string' ? data : new TextDecoder().decode(data));
    return write(data, callback);
  };
}
