// Touch screens, an addon of the terminal: a native answer field takes the
// typing, since the terminal's own text area would bring up a keyboard whose
// compositions it cannot follow. What the field commits at a key wait or
// during a pause is one key press; a sent line is typed text followed by
// Enter; a tap on the terminal or the Continue button is a key press; End
// input is Ctrl-D. The page follows the visual viewport, so the prompt and
// the field stay above an on-screen keyboard. Where the pointer is fine, the
// terminal takes the keys itself.
const TouchQuery = matchMedia('(pointer: coarse)');
// Below this height (a phone turned, with its keyboard up) the status bar
// gives its room to the terminal.
const ShortHeight = 300;
const byId = (id) => document.getElementById(id);

export class TouchAddon {
  // `player` gives the game on the screen: runningGame() (null once it has
  // ended), typeIntoGame(data), startAfterEnd() and confirm(question, action).
  constructor(player) {
    this.player = player;
    this.field = byId('answer');
    this.composing = false;
  }

  get isTouch() {
    return TouchQuery.matches;
  }

  activate(terminal) {
    this.terminal = terminal;
    this.takeFieldInput();
    this.takeBarButtons();
    this.takeTaps();
    const showTouch = () => document.body.classList.toggle('touch', this.isTouch);
    TouchQuery.addEventListener('change', showTouch);
    showTouch();
    this.followVisualViewport();
  }

  dispose() {
    document.body.classList.remove('touch');
  }

  focusInput() {
    if (this.isTouch) this.field.focus();
    else this.terminal.focus();
  }

  // A closing dialog gives the focus back to where it was on its own, but an
  // input method does not follow that focus: the field takes it anew.
  focusAfterDialog() {
    if (document.activeElement === this.field) this.field.blur();
    this.focusInput();
  }

  // The Continue button stands in for a key press while the game waits for one.
  showKeyWait(waiting) {
    byId('continue').hidden = !waiting;
    byId('send').hidden = waiting;
  }

  // Key by key, so that a line sent during a pause queues as the keys it
  // holds; after the game's end the line only starts the next game.
  send(ending) {
    const text = this.field.value;
    this.field.value = '';
    if (!this.player.runningGame()) this.player.startAfterEnd();
    else for (const key of text + ending) this.player.typeIntoGame(key);
  }

  // At a key wait or during a pause what the input method has committed, a
  // letter or a whole word, is one key press: the rest is dropped rather than
  // left as typed text hidden behind the next screen. A composition still in
  // progress is left alone.
  takeKeys() {
    const game = this.player.runningGame();
    if (this.field.value === '' || (game && !game.takesKeys)) return;
    const [key] = this.field.value;
    this.field.value = '';
    if (game) this.player.typeIntoGame(key);
    else this.player.startAfterEnd();
  }

  // End input on an empty field ends the game's input, and so the game: with
  // a character, the page asks first.
  async endInput() {
    if (this.field.value !== '' ||
        await this.player.confirm('End the game\'s input? The game ends.', 'End input')) {
      this.send('\x04');
    }
  }

  tap() {
    const game = this.player.runningGame();
    if (!game) this.player.startAfterEnd();
    else if (!game.tap()) this.field.focus();
  }

  takeFieldInput() {
    const { field } = this;
    field.addEventListener('compositionstart', () => { this.composing = true; });
    field.addEventListener('compositionend', () => {
      this.composing = false;
      this.takeKeys();
    });
    field.addEventListener('input', (event) => {
      if (!this.composing && !event.isComposing && event.inputType.startsWith('insert')) this.takeKeys();
    });
    field.addEventListener('keydown', (event) => {
      if (event.key === 'Backspace' && field.value === '' && !this.composing) this.player.typeIntoGame('\x7f');
    });
    field.addEventListener('focus', () => this.terminal.scrollToBottom());
  }

  takeBarButtons() {
    const bar = byId('answer-bar');
    bar.addEventListener('submit', (event) => {
      event.preventDefault();
      if (!this.composing) this.send('\r');
    });
    byId('end-input').addEventListener('click', () => this.endInput());
    byId('continue').addEventListener('click', () => {
      const game = this.player.runningGame();
      if (game) game.tap();
      else this.player.startAfterEnd();
    });
    // The bar's buttons leave the focus, and so the on-screen keyboard, where it is.
    bar.addEventListener('mousedown', (event) => {
      if (event.target.closest('button')) event.preventDefault();
    });
  }

  // On a touch screen the terminal never takes the focus: a tap is a key
  // press or brings up the field.
  takeTaps() {
    const screen = this.terminal.element.parentElement;
    screen.addEventListener('mousedown', (event) => {
      if (!this.isTouch) return;
      event.preventDefault();
      event.stopPropagation();
    }, true);
    screen.addEventListener('click', () => { if (this.isTouch) this.tap(); });
    this.terminal.textarea.addEventListener('focus', () => { if (this.isTouch) this.field.focus(); });
  }

  // The page keeps to the visual viewport, the part of the window an
  // on-screen keyboard leaves, so that the prompt and the field stay in view.
  followVisualViewport() {
    const viewport = window.visualViewport;
    if (!viewport) return;
    const follow = () => {
      // A pinch zoom also shrinks the visual viewport: then the page keeps its layout.
      const zoomed = viewport.scale > 1.01;
      const style = document.documentElement.style;
      style.setProperty('--viewport-height', zoomed ? '100%' : `${viewport.height}px`);
      style.setProperty('--viewport-top', zoomed ? '0px' : `${viewport.offsetTop}px`);
      style.setProperty('--viewport-bottom',
        zoomed ? '0px' : `${Math.max(0, window.innerHeight - viewport.offsetTop - viewport.height)}px`);
      document.body.classList.toggle('short', !zoomed && viewport.height < ShortHeight);
    };
    viewport.addEventListener('resize', follow);
    viewport.addEventListener('scroll', follow);
    follow();
  }
}
