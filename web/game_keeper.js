// The page's game as a file: each game runs with --save in its instance's
// file system, and the keeper keeps that file in the browser's storage
// after every answer and key wait, brings a kept game back, opens a save
// file, plays a shared game back and hands it to the viewer, and serves the
// buttons of game_controls.js (Save file, Share, Download recording, Skip,
// the playback bar). The page gives it what it needs of the page.
import { Recording } from './recording.js';
import { Playback } from './playback.js';
import { download, setUpGameControls, showPlaybackBar, showSkip } from './game_controls.js';
import { PlaybackEndings, firstGameSource, readSharedGame, shareOf } from './kept_game.js';
import { forgetLinkInAddress } from './replay_link.js';
import { hasKeys } from './saved_game_store.js';

const SaveFolder = '/saves';

export class GameKeeper {
  // `page`: say(message), startGame(start), showLists(lists), setPause(pause),
  // confirm(question, action), focusInput(), terminal, rules, and game(),
  // which gives { game, seed, pause, lists } of the game in play.
  constructor(page) {
    this.page = page;
    this.store = null;
    this.savePath = null;
    this.keeping = true;
    this.waited = false;
    this.recording = null;
    this.spare = false;
    this.playback = null;
  }

  // True while the browser keeps every answer of the game: a reload or a
  // closed tab then loses nothing.
  get keepsGame() {
    return this.store !== null && !this.store.refused;
  }

  // A game starts: its save file's options, and what to do before it runs
  // (the file written, for a game that continues one). A spare game (the
  // page's own, after a refused link) replaces the kept one only once played.
  starting({ save, saveName, keys, spare }) {
    this.playback?.end('replaced');
    this.spare = spare;
    this.savePath = `${SaveFolder}/${saveName}`;
    this.keeping = keys === null;
    this.waited = false;
    this.recording = new Recording();
    return {
      options: ['--save', this.savePath],
      prepare: (module) => {
        module.FS.mkdir(SaveFolder);
        if (save) module.FS.writeFile(this.savePath, save);
      },
    };
  }

  // The game has started: a shared one is played back from its keys.
  started(game, keys) {
    if (keys) this.playback = new Playback(game, keys, (why) => this.playbackEnded(why));
    showPlaybackBar(keys !== null);
  }

  // The game's side of the page's Game: Skip during its pauses, and its
  // waits, after each of which it is kept (a playback types there).
  hooks() {
    return {
      showPause: (pausing) => showSkip(pausing && !this.playback),
      onWait: (kind) => {
        this.waited = true;
        this.keep();
        this.playback?.waiting(kind);
      },
    };
  }

  // Whether the viewer's keys are held back, a playback typing instead.
  get playing() {
    return this.playback !== null;
  }

  saveFile() {
    return this.page.game().game?.readFile(this.savePath) ?? null;
  }

  // Keeps the game in the browser's storage, once it has read from the player.
  keep() {
    const save = this.keeping && this.waited ? this.saveFile() : null;
    const { pause, lists } = this.page.game();
    if (save && (!this.spare || hasKeys(save))) this.store?.keep({ save, pause, lists });
  }

  // The game ended: kept as it ended. A shared game the game refused before
  // it read anything says why and gives way to a new game (true).
  ended(how, errors) {
    this.keep();
    if (this.playback && !this.waited && how !== 'interrupted') {
      const why = errors.trim().split('\n').at(-1).replace(/^brawlarium: /, '');
      this.page.say(`This shared game cannot be played here (${why}); here is a new game.`);
      this.playback.end('replaced');
      this.page.showLists(new Map());
      this.page.startGame({ spare: true });
      return true;
    }
    this.playback?.end('over');
    return false;
  }

  // The game just ended, as kept, to go on with ({ save, saveName } for the
  // page's startGame) when it had a character (`hadCharacter`) and its save
  // file holds keys; else null, and a new game follows.
  heroToGoOn(hadCharacter) {
    const save = hadCharacter ? this.saveFile() : null;
    return save && hasKeys(save) ? { save, saveName: this.savePath.slice(SaveFolder.length + 1) } : null;
  }

  // After a playback, the game is the viewer's: kept, and no longer the link's.
  playbackEnded(why) {
    showPlaybackBar(false);
    this.playback = null;
    if (why === 'replaced') return;
    this.keeping = true;
    this.keep();
    forgetLinkInAddress();
    this.page.say(PlaybackEndings[why]);
    this.page.focusInput();
  }

  async openSaveFile(file) {
    const most = this.page.rules.mostKeyBytes + this.page.rules.mostHeaderBytes;
    if (file.size > most) {
      this.page.say(`"${file.name}" is larger than any save file (${most} bytes).`);
    } else if (await this.page.confirm(`Continue the game saved in "${file.name}"?`, 'Continue it')) {
      this.page.say('');
      this.page.startGame({ save: new Uint8Array(await file.arrayBuffer()), saveName: file.name });
    }
  }

  // The save file of the game in play, or null after saying there is none.
  saveOrSay(what) {
    const save = this.saveFile();
    if (!save) this.page.say(`This game has nothing to ${what} yet.`);
    return save;
  }

  fileName(extension) {
    return `brawlarium-${this.page.game().seed ?? 'game'}.${extension}`;
  }

  setUpControls() {
    const { terminal } = this.page;
    setUpGameControls({
      newGame: async () => {
        if (await this.page.confirm('Start a new game?')) {
          this.page.say('');
          this.page.startGame();
        }
      },
      saveFile: () => {
        const save = this.saveOrSay('save');
        if (save) download(this.fileName('sav'), save);
      },
      openSaveFile: (file) => this.openSaveFile(file),
      share: () => {
        const save = this.saveOrSay('share');
        const { pause, lists } = this.page.game();
        return save ? shareOf({ save, pause, lists }) : null;
      },
      recording: () => download(this.fileName('cast'), this.recording.text(terminal.cols, terminal.rows), 'application/x-asciicast'),
      skip: () => this.page.game().game?.skip(),
      pausePlayback: (paused) => this.playback?.setPaused(paused),
      setSpeed: (speed) => this.playback?.setSpeed(speed),
      playFromHere: () => this.playback?.end('stopped'),
    });
  }

  // The first game: the kept game brought back, a shared game, or a new one.
  async startFirstGame() {
    const { store, restored, shared } = await firstGameSource(this.page.say);
    this.store = store;
    if (restored) {
      this.page.showLists(restored.lists);
      this.page.setPause(restored.pause);
      this.page.say('Your game was restored.');
      this.page.startGame({ save: restored.save });
    } else if (shared) {
      await this.playSharedGame();
    } else {
      this.page.startGame();
    }
  }

  async playSharedGame() {
    const shared = await readSharedGame(this.page.rules);
    if (shared.refusal) {
      this.page.say(`${shared.refusal}; here is a new game.`);
      forgetLinkInAddress();
      this.page.startGame({ spare: true });
      return;
    }
    this.page.showLists(shared.lists);
    this.page.setPause(shared.pause);
    this.page.say(shared.listsLeftOut
      ? 'This game was shared without its price lists, which were too large: it plays with the lists in use here.' : '');
    this.page.startGame({ save: new TextEncoder().encode(shared.header), saveName: 'shared.sav', keys: shared.keys });
  }
}
