// A shared game played back: the keys of its save file given to a game as
// they were, at the game's pace: each answer typed visibly, a letter at a
// time, at its question, and each key press after a moment at its key wait.
// It can be held and resumed, played faster (the game's round pauses too),
// and stopped, which hands the keyboard back to the viewer. It ends by
// itself when its keys run out, or at a key that does not fit the game's
// wait (an answer at a key wait, or the other way round).

export const Speeds = [1, 2, 4, Infinity];
const LetterTime = 110;
const KeyHoldTime = 800;

export class Playback {
  // onEnd(why) follows its end: 'done', 'misfit' or 'stopped'.
  constructor(game, keys, onEnd) {
    this.game = game;
    this.keys = keys;
    this.onEnd = onEnd;
    this.at = 0;
    this.speed = 1;
    this.paused = false;
    this.resume = null;
    this.stopped = false;
  }

  // The game waits for an 'answer' or a 'key': the next key is given.
  waiting(kind) {
    if (this.stopped) return;
    if (this.at >= this.keys.length) {
      this.end('done');
      return;
    }
    const key = this.keys[this.at++];
    // eslint-disable-next-line no-control-regex
    if ((kind === 'key') !== (key === '') || /[\u0000-\u001f\u007f]/.test(key)) {
      this.end('misfit');
      return;
    }
    (kind === 'key' ? this.pressKey() : this.typeAnswer(key)).catch(() => {});
  }

  async typeAnswer(answer) {
    for (const letter of answer) {
      await this.moment(LetterTime);
      this.game.type(letter);
    }
    await this.moment(LetterTime * 2);
    this.game.type('\r');
  }

  async pressKey() {
    await this.moment(KeyHoldTime);
    this.game.type(' ');
  }

  // Waits `time` at the playback's speed, and while it is held; throws once
  // the playback has ended.
  async moment(time) {
    const shortened = this.speed === Infinity ? 0 : time / this.speed;
    await new Promise((done) => { setTimeout(done, shortened); });
    while (this.paused && !this.stopped) await new Promise((done) => { this.resume = done; });
    if (this.stopped || this.game.stopped) throw new Error('the playback ended');
  }

  setSpeed(speed) {
    this.speed = speed;
    this.game.speed = speed;
  }

  setPaused(paused) {
    this.paused = paused;
    this.game.hold(paused);
    if (!paused) this.resume?.();
  }

  get remaining() {
    return this.keys.length - this.at;
  }

  end(why) {
    if (this.stopped) return;
    this.stopped = true;
    this.game.speed = 1;
    this.game.hold(false);
    this.resume?.();
    this.onEnd(why);
  }
}
