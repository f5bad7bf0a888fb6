// The running game kept in the browser's storage (localStorage), so that a
// reload, a closed tab or a crash brings it back: its save file, the
// player's own lists if it plays them, and its round pause, written after
// every answer. Each tab keeps its game under an id of its own, kept in the
// tab's sessionStorage (which a reload and a reopened tab keep) and held
// as a Web Lock for as long as the tab lives, so two tabs never write the
// same game: a duplicated tab, whose id is held already, takes a new one.
// A new tab takes over the last game played if its tab is gone (its lock
// is free). Storage that is full or refused is said once; play goes on.
import { fromBase64Url, toBase64Url } from './share_link.js';

const GamePrefix = 'brawlarium.game.';
const LastGameKey = 'brawlarium.last-game';
const TabKey = 'brawlarium.tab';
const lockName = (id) => `brawlarium.game.${id}`;

// How long a reloaded tab waits for the page it replaces to let go of its
// game's lock.
const ReloadLockWait = 3000;

// Takes the id's lock for the tab's life; false when another tab holds it
// (after `waitMs`, when given: the page a reload replaces may hold it a
// moment longer). Without Web Locks (an old browser), every id is taken.
function claim(id, waitMs = 0) {
  if (!navigator.locks) return Promise.resolve(true);
  const options = waitMs > 0 ? { signal: AbortSignal.timeout(waitMs) } : { ifAvailable: true };
  return new Promise((taken) => {
    navigator.locks.request(lockName(id), options, (lock) => {
      taken(lock !== null);
      return lock ? new Promise(() => {}) : undefined;
    }).catch(() => taken(false));
  });
}

async function heldIds() {
  if (!navigator.locks) return null;
  const { held } = await navigator.locks.query();
  return new Set(held.map((lock) => lock.name));
}

const newId = () => crypto.randomUUID();

// Whether a save file holds a key: a game not yet played is no tab's last.
export const hasKeys = (save) => !new TextDecoder().decode(save.subarray(-6)).endsWith('\nkeys\n');

// A stored game as the page plays it, or null when it does not read.
function storedGame(text) {
  try {
    const { save, pause, lists } = JSON.parse(text);
    const bytes = fromBase64Url(save);
    const read = new Map(Object.entries(lists).map(([kind, { name, bytes: list }]) => [kind, { name, bytes: fromBase64Url(list) }]));
    if (bytes === null || [...read.values()].some((list) => list.bytes === null)) return null;
    return { save: bytes, pause: String(pause), lists: read };
  } catch {
    return null;
  }
}

export class SavedGameStore {
  static Refused = 'The browser refuses to keep this game (its storage is full or off): play goes on, but a reload will lose it.';

  // The tab's store: its own game's id, and the game it brings back
  // (`restored`, or null). With `mayTakeOver` false (a link names the
  // game), a tab with no game of its own starts afresh; `reloaded` waits
  // for the page it replaces to let go of the tab's game.
  static async open(say, mayTakeOver = true, reloaded = false) {
    let id = sessionStorage.getItem(TabKey);
    if (id !== null && !(await claim(id, reloaded ? ReloadLockWait : 0))) id = null;
    if (id === null || localStorage.getItem(GamePrefix + id) === null) {
      const last = localStorage.getItem(LastGameKey);
      if (mayTakeOver && last !== null && last !== id && (await claim(last))) id = last;
    }
    if (id === null) {
      id = newId();
      await claim(id);
    }
    sessionStorage.setItem(TabKey, id);
    const store = new SavedGameStore(id, say);
    await store.forgetAbandoned();
    return store;
  }

  constructor(id, say) {
    this.id = id;
    this.say = say;
    this.refused = false;
    this.kept = null;
  }

  get restored() {
    const text = localStorage.getItem(GamePrefix + this.id);
    return text === null ? null : storedGame(text);
  }

  // Keeps the game ({ save: bytes, pause, lists }) unless it is as kept last.
  keep({ save, pause, lists }) {
    const text = JSON.stringify({
      save: toBase64Url(save), pause,
      lists: Object.fromEntries([...lists].map(([kind, { name, bytes }]) => [kind, { name, bytes: toBase64Url(bytes) }])),
    });
    if (text === this.kept) return;
    try {
      localStorage.setItem(GamePrefix + this.id, text);
      if (hasKeys(save)) localStorage.setItem(LastGameKey, this.id);
      this.kept = text;
    } catch {
      if (!this.refused) this.say(SavedGameStore.Refused);
      this.refused = true;
    }
  }

  // Stored games whose tab is gone and that no new tab would take over.
  async forgetAbandoned() {
    const held = await heldIds();
    if (held === null) return;
    const last = localStorage.getItem(LastGameKey);
    for (let at = localStorage.length - 1; at >= 0; --at) {
      const key = localStorage.key(at);
      const id = key?.startsWith(GamePrefix) ? key.slice(GamePrefix.length) : null;
      if (id !== null && id !== this.id && id !== last && !held.has(lockName(id))) localStorage.removeItem(key);
    }
  }
}
