// Where a game comes from when it is not a fresh seed, and where it goes:
// the tab's kept game (or the last one kept) brought back, a shared game
// read from the address with its lists read as the player's own are, a
// save file's seed, and the link and words of the Share dialog.
import { SavedGameStore } from './saved_game_store.js';
import { isLink, readShareLink, shareLink, splitSave } from './share_link.js';
import { listsInUse, readLists } from './price_lists.js';
import { addressWithoutLink } from './replay_link.js';

// The save file's seed, or null when its header does not read (the game
// then says why it refuses the file).
export const seedOfSave = (bytes) => splitSave(new TextDecoder().decode(bytes))?.seed ?? null;

// The first game's source: the tab's store (null when the browser refuses
// storage), the game it brings back (`restored`) or whether the address
// holds a shared game (`shared`). A
// link names the game, but a reload brings back the tab's game whatever
// its address says.
export async function firstGameSource(say) {
  const shared = isLink(location.hash);
  const linked = addressWithoutLink(location.href) !== null;
  const reloaded = performance.getEntriesByType('navigation')[0]?.type === 'reload';
  let store = null;
  try {
    store = await SavedGameStore.open(say, !linked, reloaded);
  } catch {
    say(SavedGameStore.Refused);
  }
  const restored = store && (reloaded || !linked) ? store.restored : null;
  return { store, restored, shared: shared && !restored };
}

// The shared game of the address ({ header, keys, pause, lists,
// listsLeftOut }), its lists checked as chosen files are; or its refusal.
export async function readSharedGame(rules) {
  const shared = await readShareLink(location.hash, rules);
  if (shared.refusal || shared.lists.size === 0) return shared;
  const { lists, refusal } = await readLists([...shared.lists.values()].map(({ name, bytes }) => new File([bytes], name)));
  return refusal ? { refusal: `This shared link's lists cannot be read: ${refusal}` } : { ...shared, lists };
}

// The Share dialog's link and what it says of it.
export async function shareOf({ save, pause, lists }) {
  const { link, listsCarried } = await shareLink({ save: new TextDecoder().decode(save), pause, lists });
  const href = new URL(link, location.href.replace(/[?#].*$/, '')).href;
  return { href, summary: `This link plays the game back as far as it has gone (${href.length} characters)` +
    (listsCarried ? '.' : `; it does not carry ${listsInUse(lists)}, which are too large: whoever opens it needs the same lists.`) };
}

// What the end of a playback says; the viewer plays on from there.
export const PlaybackEndings = {
  done: 'The shared game ends here: play on from where it stopped.',
  misfit: 'The rest of this shared game no longer fits the game here: play on from where it stopped.',
  stopped: 'You play on from here.',
  over: '',
};
