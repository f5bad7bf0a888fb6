// The replay link: the page's address names a game's seed and round pause
// (?seed=42&pause=2000), which replays that game. Reading a link checks its
// seed and pause against the game's own limits, which the module exports;
// every game but a link's own gets a fresh random seed.

export function isWholeNumberUpTo(text, largest) {
  return /^[0-9]+$/.test(text) && Number(text) <= largest;
}

// The seed and the pause of the address's query (each a string, or null when
// absent or refused), and the page's words for what it refused.
export function readLink(search, { largestSeed, longestPause }) {
  const address = new URLSearchParams(search);
  const seed = address.get('seed');
  const pause = address.get('pause');
  const refusals = [];
  const seedTaken = seed !== null && isWholeNumberUpTo(seed, largestSeed);
  if (seed !== null && !seedTaken) {
    refusals.push(`This link's seed is not a number from 0 to ${largestSeed}; here is a new game`);
  }
  const pauseTaken = pause !== null && isWholeNumberUpTo(pause, longestPause);
  if (pause !== null && !pauseTaken) {
    refusals.push(`This link's round pause is not a number of milliseconds from 0 to ${longestPause}, ` +
      'so the game keeps its own');
  }
  return { seed: seedTaken ? seed : null, pause: pauseTaken ? String(Number(pause)) : null, refusals };
}

export function linkTo(seed, pause) {
  return `?seed=${seed}&pause=${pause}`;
}

// The address without a link's seed and pause or a shared game (#game=...),
// or null when it names none.
export function addressWithoutLink(href) {
  const address = new URL(href);
  const shared = address.hash.startsWith('#game=');
  if (!address.searchParams.has('seed') && !address.searchParams.has('pause') && !shared) return null;
  address.searchParams.delete('seed');
  address.searchParams.delete('pause');
  if (shared) address.hash = '';
  return address.href;
}

// The status bar's "Seed 42 · replay this game". A click that would follow
// the link in this tab goes to onReplay(href) instead, which may ask first;
// a new tab or window loses nothing.
export function showReplayLink(element, seed, pause, onReplay) {
  const link = document.createElement('a');
  link.href = linkTo(seed, pause);
  link.innerHTML = '<span class="wide">replay this game</span><span class="narrow">replay</span>';
  link.addEventListener('click', (event) => {
    if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) return;
    event.preventDefault();
    onReplay(link.href);
  });
  element.replaceChildren(`Seed ${seed} · `, link);
}

// Once a game other than a link's own starts, the address no longer names
// the link's seed, so that a reload brings back no older game.
export function forgetLinkInAddress() {
  const address = addressWithoutLink(location.href);
  if (address) history.replaceState(history.state, '', address);
}

// A random seed from 0 to the largest the game takes.
export function newSeed(largestSeed) {
  const [value] = crypto.getRandomValues(new Uint32Array(1));
  return String(value % (largestSeed + 1));
}
