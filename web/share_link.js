// The share link: a whole game (its save file, round pause and, when they
// are small enough, the player's own price lists) as JSON, gzipped and in
// base64url after the address's "#", which no browser sends to a server.
// A link is untrusted input: its length and what it unpacks to are bounded
// before anything is unpacked further, gzip's checksum refuses a link cut
// short or altered, and every field is checked for its kind and size; the
// game checks the rest (the header against this build and these lists, the
// lists themselves) as it does for a save file or lists the player chooses.

export const LinkVersion = 1;
const Marker = '#game=';
// Lists carried in a link are bounded as a save file's keys are; the link
// goes without them past this many characters.
const MostListBytes = 1 << 20;
export const LongestLinkWithLists = 16000;
const ListKinds = ['weapon', 'armor'];

export function toBase64Url(bytes) {
  let text = '';
  for (let at = 0; at < bytes.length; at += 0x8000) text += String.fromCharCode(...bytes.subarray(at, at + 0x8000));
  return btoa(text).replaceAll('+', '-').replaceAll('/', '_').replace(/=+$/, '');
}

// Bytes from base64url, or null when the text is not base64url.
export function fromBase64Url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) return null;
  const packed = atob(text.replaceAll('-', '+').replaceAll('_', '/'));
  return Uint8Array.from(packed, (character) => character.charCodeAt(0));
}

async function gzipped(text) {
  const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The unpacked bytes as text, or null past `most` bytes (the stream is then
// cancelled: a small link that unpacks to a great deal stops there) or when
// the bytes are not a whole, unaltered gzip stream.
async function gunzippedAtMost(bytes, most) {
  const reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip')).getReader();
  const chunks = [];
  let size = 0;
  try {
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      size += value.length;
      if (size > most) {
        await reader.cancel();
        return { tooLarge: true };
      }
      chunks.push(value);
    }
  } catch {
    return { damaged: true };
  }
  const whole = new Uint8Array(size);
  chunks.reduce((at, chunk) => (whole.set(chunk, at), at + chunk.length), 0);
  try {
    return { text: new TextDecoder('utf-8', { fatal: true }).decode(whole) };
  } catch {
    return { damaged: true };
  }
}

// A list's bytes as the link carries them: text when they are UTF-8, else
// base64.
function carriedList({ name, bytes }) {
  try {
    return { name, text: new TextDecoder('utf-8', { fatal: true }).decode(bytes) };
  } catch {
    return { name, base64: toBase64Url(bytes) };
  }
}

async function linkOf(content) {
  return Marker + toBase64Url(await gzipped(JSON.stringify(content)));
}

// The link's part after the address (from "#" on) for a game: `save` is the
// save file's text, `lists` the player's ({ name, bytes } by kind). Lists
// that would make the link longer than LongestLinkWithLists stay out of it,
// and the link says so.
export async function shareLink({ save, pause, lists }) {
  const content = { v: LinkVersion, pause: Number(pause), save };
  if (lists.size === 0) return { link: await linkOf(content), listsCarried: true };
  const withLists = await linkOf({ ...content, lists: Object.fromEntries([...lists].map(([kind, list]) => [kind, carriedList(list)])) });
  if (withLists.length <= LongestLinkWithLists) return { link: withLists, listsCarried: true };
  return { link: await linkOf({ ...content, listsLeftOut: true }), listsCarried: false };
}

export const isLink = (hash) => hash.startsWith(Marker);

const Refusals = {
  damaged: 'This shared link does not read: it was cut short or altered',
  tooLarge: 'This shared link holds more than a game can',
  newer: 'This shared link comes from a newer page than this one',
};

// The lists of a link's content by kind ({ name, bytes }), or null when
// they are not what a link carries.
function listsOf(carried, mostBytes) {
  const lists = new Map();
  if (carried === undefined) return lists;
  if (typeof carried !== 'object' || carried === null) return null;
  for (const [kind, list] of Object.entries(carried)) {
    if (!ListKinds.includes(kind) || typeof list?.name !== 'string' || list.name.length > 255 || /[/\0]/.test(list.name) ||
      list.name === '' || list.name === '.' || list.name === '..') return null;
    const bytes = typeof list.text === 'string' ? new TextEncoder().encode(list.text) : fromBase64Url(String(list.base64));
    if (bytes === null || bytes.length > mostBytes) return null;
    lists.set(kind, { name: list.name, bytes });
  }
  return lists;
}

// The save file's text split at its keys: the header (up to and including
// its "keys" line) and each key (an answer, or '' for a key press).
export function splitSave(save) {
  const at = save.indexOf('\nkeys\n');
  if (!save.startsWith('brawlarium save ') || at < 0 || !save.endsWith('\n')) return null;
  const header = save.slice(0, at + 6);
  const keys = save.slice(at + 6).split('\n').slice(0, -1);
  const seed = header.match(/^seed ([0-9]+)$/m)?.[1] ?? null;
  return seed === null ? null : { header, keys, seed };
}

// The game a link's hash carries ({ save, header, keys, seed, pause, lists,
// listsLeftOut }), or its refusal in the page's words.
export async function readShareLink(hash, { mostKeyBytes, mostHeaderBytes, longestPause }) {
  const mostSave = mostKeyBytes + mostHeaderBytes;
  const mostUnpacked = 2 * mostSave + 2 * 2 * MostListBytes + 4096;
  const packed = hash.length <= 2 * mostUnpacked ? fromBase64Url(hash.slice(Marker.length)) : null;
  if (packed === null) return { refusal: hash.length > 2 * mostUnpacked ? Refusals.tooLarge : Refusals.damaged };
  const { text, tooLarge } = await gunzippedAtMost(packed, mostUnpacked);
  if (tooLarge) return { refusal: Refusals.tooLarge };
  let content;
  try {
    content = JSON.parse(text);
  } catch {
    return { refusal: Refusals.damaged };
  }
  if (typeof content?.v === 'number' && content.v > LinkVersion) return { refusal: Refusals.newer };
  const { v, pause, save, listsLeftOut = false } = content ?? {};
  const lists = listsOf(content?.lists, MostListBytes);
  const game = typeof save === 'string' && save.length <= mostSave ? splitSave(save) : null;
  if (v !== LinkVersion || !Number.isInteger(pause) || pause < 0 || pause > longestPause || lists === null ||
    game === null || typeof listsLeftOut !== 'boolean') return { refusal: Refusals.damaged };
  return { save, ...game, pause: String(pause), lists, listsLeftOut };
}
